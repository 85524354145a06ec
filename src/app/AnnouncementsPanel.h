#pragma once

#include "Announcer.h"
#include "LapBook.h"
#include "OptionsPanel.h"
#include "RunController.h"
#include "RunStates.h"
#include "TForm4.h"

#include <QObject>
#include <functional>
#include <memory>

class QTimer;
class TCuteButton;

// The announcements of a lap: read aloud, put on the clipboard as a sentence, shown in the
// Display window; the read-out buttons beside the lap buttons, and the Display hold timer.
// The read-outs run on workers of their own; every effect they have on the window, the
// clipboard and the timers comes back to the UI thread.
class AnnouncementsPanel : public QObject, private kelvos::AnnouncementEffects {
    Q_OBJECT
public:
    // `figures` gives competitor 1's present figures for the Display window; a null sleeper
    // sleeps on the real clock.
    AnnouncementsPanel(QWidget* form, kelvos::ClipPlayer& player, kelvos::RunController& run,
                       std::function<DisplayFigures()> figures, kelvos::Sleeper* sleeper);
    ~AnnouncementsPanel() override;

    void applyRunState(const kelvos::RunStateEffects& effects);
    void setBoxes(const AnnouncementBoxes& boxes);
    // "ReadLapbyKey": the read-out buttons with or without their accelerators.
    void showReadAccelerators(bool on);
    // A new run: the Display window is made ready, hidden, when it is wanted.
    void prepareDisplay();
    // After a lap of competitor 1: the Display window when no read-out is on, then the
    // read-outs that are. True when its read-out waits for the one speaking, so the press wants
    // a tone of its own to be heard at once.
    bool announceLap1(const kelvos::LapState& laps);
    void LapreadClick();
    void ClipreadClick();
    void RealClick();
    void DCheck1Click(bool on);
    // Ends every read-out under way, cutting its clip short (the window is closing).
    void stopAll() { announcer_.stopAll(); }
    // Blocks until every read-out started so far has ended.
    void waitUntilIdle() { announcer_.waitUntilIdle(); }

signals:
    void commandDone();

private:
    bool claimBusy() override;
    void fillDisplay() override;
    void putOnClipboard(const QString& text) override;
    void startDisplayHold() override;
    void closeDisplay() override;
    void releaseBusy() override;
    void Timer3Timer();

    kelvos::RunController& run_;
    std::function<DisplayFigures()> figures_;
    std::unique_ptr<kelvos::Sleeper> ownSleeper_;
    kelvos::Announcer announcer_;
    AnnouncementBoxes boxes_;
    QTimer* Timer3;
    int holdTicks_ = 0;
    TCuteButton *Lapread, *Clipread, *Real;
};
