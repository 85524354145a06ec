#pragma once

#include "ClipboardExchange.h"
#include "DesktopCommand.h"
#include "FileChooser.h"
#include "GridTexts.h"
#include "HotkeyBackend.h"
#include "JournalEntry.h"
#include "LapBook.h"
#include "PressTiming.h"
#include "RunController.h"
#include "RunStates.h"

#include <QDateTime>
#include <QMessageBox>
#include <QPointer>
#include <QProgressDialog>
#include <QWidget>
#include <array>
#include <functional>
#include <memory>

class QTimer;
class AnnouncementsPanel;
class ChartPanel;
class CoursePanel;
class GridsPanel;
class HotkeysPanel;
class LapsPanel;
class OptionsPanel;
class RunPanel;
class RunRecorder;
class FormScaler;
class SettingsBinding;
class SignalSounds;

namespace kelvos {
class ClipPlayer;
class LiveServer;
class Sleeper;
} // namespace kelvos
struct DisplayFigures;

// What the main window takes from its surroundings, so that tests can give it a fake clock,
// a sound recorder and in-memory hotkeys.
struct KelvosServices {
    // The clock of the run: presses handled inside one of its scopes are timed at the press.
    kelvos::PressTiming* timing = nullptr;
    kelvos::ClipPlayer* player = nullptr;
    kelvos::Sleeper* sleeper = nullptr;             // the read-outs' pauses; none: the real clock
    std::unique_ptr<kelvos::HotkeyBackend> hotkeys; // none: the desktop's own (X11)
    std::function<QDateTime()> now;                 // the wall clock
    QString workingDirectory;                       // course list, automatic files, the run journal
    QString settingsFile;                           // the INI file
    FileChooser chooseFile;
    // Keeps the screen on and the machine awake while true (a run is being timed).
    std::function<void(bool)> keepAwake = [](bool) {};
    kelvos::LiveServer* live = nullptr; // the live results' server; none: no live results
};

// The main window. Its panels own the controls and what touches only them; the window conducts
// the commands that cross panels, each as its steps in order, over one run model.
class TKelvoS : public QWidget {
    Q_OBJECT
public:
    explicit TKelvoS(KelvosServices services, QWidget* parent = nullptr);
    ~TKelvoS() override;

    bool isRunning() const { return run_.running(); }
    bool resultsPending() const { return run_.resultsPending(); }
    const kelvos::LapState& lapState() const { return run_.laps(); }
    const TStopWatch& stopWatch() const { return run_.stopWatch(); }
    // The run model: other parts of the program subscribe to its events.
    kelvos::RunController& runModel() { return run_; }
    bool isHotkeyRegistered(kelvos::Hotkey key) const;
    // Whether a read-out is under way; while it is, another one is not started.
    bool announcementBusy() const { return run_.announcementBusy(); }
    // Blocks until every signal clip asked for so far has sounded.
    void waitForSignals();
    // Whether a run from the journal is still being restored.
    bool isRestoring() const { return restore_ != nullptr; }

public slots:
    void StartClick();
    void StopClick();
    void CuteButton1Click();
    void ResetClick();
    void LapClick();
    void LAP2Click();
    void LAP3Click();
    void Timer1Timer();
    void Timer2Timer();
    // Arms the refresh timers for the present state (see the definition).
    void scheduleRefresh();
    void Plus1Lap1Click();
    void MilePerHour1Click();
    void DoCSFocus();
    void Factive() {}
    // A command from another program, run as its hotkey would be at the moment it arrived;
    // false, doing nothing, when its button is switched off in the present state.
    bool takeCommand(kelvos::DesktopCommand command, quint32 receivedAt);

    // Tells the operator about a problem without stopping the program or the watch; one told
    // before the window is on the screen waits for it.
    void reportProblem(const QString& message);

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void refreshTick();
    void applyLook();
    void createPanels();
    void connectPanels();
    void FormCreate();
    void FormFirstShow();
    void subscribeViews();
    void showRunEvent(const kelvos::RunEvent& event);
    void showRunState(kelvos::RunEntry entry);
    void runCommand(kelvos::Command command);
    void takeNames();
    void HookHotKey1HotKey(kelvos::Hotkey key);
    void ComboBox1Change(bool chosen);
    void CuteButton20Click();
    void loadMainFile(const QString& path);
    void showPasted(int rows);
    kelvos::HeaderUnit headerUnit() const;
    QString windowTitleText() const;
    QString lapTitleText() const;
    QString lapCountText() const;
    QString lastLapText() const;
    // The wall-clock parts of the title and the taskbar text, formatted once a second rather
    // than at every 20 ms refresh.
    struct ClockTexts {
        QDateTime second;
        QString date; // short form
        QString time; // long form
        QString weekday;
    };
    const ClockTexts& clockTexts() const;
    DisplayFigures displayFigures() const;
    void showEarlyProblems();
    void showSettingsProblems();
    void showCloseProblem(const QString& message);
    bool stopAndSave();
    bool saveStoppedRun();
    void openJournal();
    void showRestoreProgress(int entries);
    void restoreSome();
    void finishRestore();
    void replay(const kelvos::JournalEntry& entry);

    KelvosServices services_;
    kelvos::RunController run_;
    std::unique_ptr<SignalSounds> sounds_;
    RunPanel* runPanel_ = nullptr;
    LapsPanel* lapsPanel_ = nullptr;
    CoursePanel* coursePanel_ = nullptr;
    GridsPanel* gridsPanel_ = nullptr;
    HotkeysPanel* hotkeysPanel_ = nullptr;
    OptionsPanel* optionsPanel_ = nullptr;
    ChartPanel* chartPanel_ = nullptr;
    AnnouncementsPanel* announcementsPanel_ = nullptr;
    SettingsBinding* settings_ = nullptr;
    FormScaler* scaler_ = nullptr;
    QTimer* Timer1 = nullptr;
    QTimer* Timer2 = nullptr;
    bool startupJingle_ = false;
    bool shownOnce_ = false;
    RunRecorder* recorder_ = nullptr;
    bool replaying_ = false; // a run from the journal is being rebuilt
    // A restore under way: the presses to rebuild and how far it has come.
    struct Restore {
        QList<kelvos::JournalEntry> entries;
        qsizetype next = 0;
        QPointer<QProgressDialog> progress;
    };
    std::unique_ptr<Restore> restore_;
    bool closing_ = false;
    QStringList closeProblems_; // told when the window has closed
    QStringList earlyProblems_; // told once the window is on the screen
    QPointer<QMessageBox> closeProblem_;
    mutable ClockTexts clockTexts_;
    kelvos::RunFigures figures_;                // what the latest refresh showed
    std::array<QString, 2> gapTexts_{"0", "0"}; // competitor 1 against 2 and 3, for the title
};
