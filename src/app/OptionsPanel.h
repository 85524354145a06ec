#pragma once

#include "SoundLevels.h"

#include <QObject>

// The boxes that choose how a lap is announced.
struct AnnouncementBoxes {
    bool voice = true;         // "Voice"
    bool voiceRepeat = false;  // its "Re"
    bool clipEnglish = false;  // "ClipE"
    bool clipJapanese = false; // "J"
    bool clipRepeat = false;   // the clipboard's "Re"
    bool display = false;      // "D"
};

class QAction;
class QCheckBox;
class QMenu;
class LiveResultsWindow;
class TCuteButton;
class VolumeWindow;

namespace kelvos {
class LiveServer;
}

// The options along the top of the window: the announcement check boxes and their rules, the
// title form, the Display wish, "AutoScroll", the pop-up menu under "S D" and the levels of
// the voice and the tones that its "Volume…" shows, and the sharing of the live results that its
// "Live results…" shows.
class OptionsPanel : public QObject {
    Q_OBJECT
public:
    OptionsPanel(QWidget* form, kelvos::LiveServer* live);

    QMenu* menu() const { return PopupMenu2; }
    QAction* menuItem(const char* name) const;
    bool voiceOn() const;
    bool readOutWanted() const;
    bool titleShowsLap() const;
    bool autoScroll() const;
    bool milePerHour() const;
    AnnouncementBoxes announcementBoxes() const;
    kelvos::SoundLevels soundLevels() const;
    void setSoundLevels(kelvos::SoundLevels levels);
    bool liveShare() const;
    void setLiveShare(bool share);
    bool liveRemote() const;
    void setLiveRemote(bool remote);
    bool liveRemoteStartStop() const;
    void setLiveRemoteStartStop(bool allowed);
    // Sets the menu's check marks that follow the boxes, after the boxes were restored.
    void syncMenuWithBoxes();

signals:
    void milePerHourToggled();
    // "AutoScroll" changed; the chart follows.
    void autoScrollToggled();
    // "T" changed what the title and the taskbar show.
    void titleFormToggled();
    void plus1LapChosen();
    void mixSaveChosen();
    void mainSaveChosen();
    void lapAcceleratorsToggled(bool on);
    void readAcceleratorsToggled(bool on);
    void announcementBoxesChanged();
    // "D" or the menu's "Display" changed the wish for the Display window.
    void displayWishChanged(bool on);
    void commandDone();
    // A level changed, by the operator or by the settings; it is to be heard at once.
    void soundLevelsChanged(kelvos::SoundLevels levels);
    // The operator set the tone level and wants to hear it.
    void toneLevelTried();
    void liveShareChanged();
    void liveRemoteChanged();
    void liveRemoteStartStopChanged();

private:
    void buildPopupMenu(QWidget* form);
    void connectRules();
    void Voice1Click();
    void AutoscrollClick();
    void About1Click();
    void Volume1Click();
    void LiveResults1Click();
    void CheckBox6Click();
    void CheckBox7Click();
    void CheckBox9Click();
    void CheckBox10Click();
    void CheckBox11Click();
    void applyClipboardBoxRule(QCheckBox* changed, QCheckBox* other);

    QMenu* PopupMenu2 = nullptr;
    VolumeWindow* volume_ = nullptr;
    LiveResultsWindow* live_ = nullptr;
    TCuteButton *CuteButton44, *CuteButton41, *CuteButton40;
    QCheckBox *CheckBox6, *CheckBox7, *CheckBox8, *CheckBox9, *CheckBox10, *CheckBox11, *CheckBox12,
        *DCheck1;
};
