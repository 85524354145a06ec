#include "OptionsPanel.h"

#include "LiveResultsWindow.h"
#include "MainWindowLayout.h"
#include "TCuteButton.h"
#include "TForm3.h"
#include "TPopupMenuLook.h"
#include "VolumeWindow.h"

#include <QAction>
#include <QCheckBox>
#include <QMenu>

using namespace kelvos;

namespace {
struct MenuItemSpec {
    const char* name;
    const char* caption;
    bool checkable;
    bool checked;
};

// The pop-up menu in its order; a null caption stands for a separator.
constexpr MenuItemSpec kMenuItems[] = {
    {"MixSave1", "MixSave", false, false},
    {"MainSave1", "MainSave", false, false},
    {"N1", nullptr, false, false},
    {"LapReadKey1", "ReadLapbyKey", true, true},
    {"Autoscroll", "AutoScroll", true, true},
    {"Voice1", "Voice", true, true},
    {"Volume1", "Volume…", false, false},
    {"LiveResults1", "Live results…", false, false},
    {"History1", "History…", false, false},
    {"Import1", "Import…", false, false},
    {"N2", nullptr, false, false},
    {"key1", "key", true, false},
    {"About1", "About", false, false},
    {"N3", nullptr, false, false},
    {"Display1", "Display", true, false},
    {"MilePerHour1", "MilePerHour", true, false},
    {"Plus1Lap1", "Plus1Lap", false, false},
};

// Runs a rule when a box changes, whoever changed it: the user, another rule or the settings.
void onToggled(QCheckBox* box, QObject* context, std::function<void()> rule) {
    QObject::connect(box, &QCheckBox::toggled, context, [rule = std::move(rule)] { rule(); });
}
} // namespace

OptionsPanel::OptionsPanel(QWidget* form, LiveServer* live) : QObject(form) {
    const PanelControls controls(form, PanelId::Options);
    CuteButton44 = controls.take<TCuteButton>("CuteButton44");
    CuteButton41 = controls.take<TCuteButton>("CuteButton41");
    CuteButton40 = controls.take<TCuteButton>("CuteButton40");
    CheckBox6 = controls.take<QCheckBox>("CheckBox6");
    CheckBox7 = controls.take<QCheckBox>("CheckBox7");
    CheckBox8 = controls.take<QCheckBox>("CheckBox8");
    CheckBox9 = controls.take<QCheckBox>("CheckBox9");
    CheckBox10 = controls.take<QCheckBox>("CheckBox10");
    CheckBox11 = controls.take<QCheckBox>("CheckBox11");
    CheckBox12 = controls.take<QCheckBox>("CheckBox12");
    DCheck1 = controls.take<QCheckBox>("DCheck1");
    volume_ = new VolumeWindow(form);
    live_ = new LiveResultsWindow(form, live);
    buildPopupMenu(form);
    connectRules();
}

void OptionsPanel::buildPopupMenu(QWidget* form) {
    PopupMenu2 = new QMenu(form);
    PopupMenu2->setObjectName("PopupMenu2");
    auto* look = new TPopupMenuLook;
    look->setParent(PopupMenu2);
    PopupMenu2->setStyle(look);
    for (const MenuItemSpec& spec : kMenuItems) {
        QAction* item = spec.caption ? PopupMenu2->addAction(QString::fromUtf8(spec.caption))
                                     : PopupMenu2->addSeparator();
        item->setObjectName(QString::fromLatin1(spec.name));
        item->setCheckable(spec.checkable);
        item->setChecked(spec.checked);
    }
    // The menu drops down the moment the button is pressed, not when it is released.
    CuteButton44->setDropDownMenu(PopupMenu2);
}

QAction* OptionsPanel::menuItem(const char* name) const {
    return PopupMenu2->findChild<QAction*>(QString::fromLatin1(name));
}

void OptionsPanel::connectRules() {
    // Menu items act on triggered only: their check marks are also set from code. By the time
    // a handler runs, the menu has toggled the mark.
    connect(menuItem("MilePerHour1"), &QAction::triggered, this, &OptionsPanel::milePerHourToggled);
    connect(menuItem("Plus1Lap1"), &QAction::triggered, this, &OptionsPanel::plus1LapChosen);
    connect(menuItem("MixSave1"), &QAction::triggered, this, &OptionsPanel::mixSaveChosen);
    connect(menuItem("MainSave1"), &QAction::triggered, this, &OptionsPanel::mainSaveChosen);
    connect(menuItem("key1"), &QAction::triggered, this,
            [this](bool on) { emit lapAcceleratorsToggled(on); });
    connect(menuItem("LapReadKey1"), &QAction::triggered, this,
            [this](bool on) { emit readAcceleratorsToggled(on); });
    connect(menuItem("Autoscroll"), &QAction::triggered, this, &OptionsPanel::AutoscrollClick);
    connect(menuItem("Voice1"), &QAction::triggered, this, &OptionsPanel::Voice1Click);
    connect(CuteButton41, &QPushButton::clicked, menuItem("key1"), &QAction::trigger);
    connect(menuItem("About1"), &QAction::triggered, this, &OptionsPanel::About1Click);
    connect(CuteButton40, &QPushButton::clicked, this, &OptionsPanel::About1Click);
    connect(menuItem("Volume1"), &QAction::triggered, this, &OptionsPanel::Volume1Click);
    connect(volume_, &VolumeWindow::levelsChanged, this, &OptionsPanel::soundLevelsChanged);
    connect(volume_, &VolumeWindow::toneLevelTried, this, &OptionsPanel::toneLevelTried);
    connect(menuItem("LiveResults1"), &QAction::triggered, this, &OptionsPanel::LiveResults1Click);
    connect(live_, &LiveResultsWindow::shareChanged, this, &OptionsPanel::liveShareChanged);
    connect(live_, &LiveResultsWindow::remoteChanged, this, &OptionsPanel::liveRemoteChanged);
    connect(live_, &LiveResultsWindow::remoteStartStopChanged, this,
            &OptionsPanel::liveRemoteStartStopChanged);

    onToggled(CheckBox6, this, [this] { CheckBox6Click(); });
    onToggled(CheckBox7, this, [this] { CheckBox7Click(); });
    onToggled(CheckBox9, this, [this] { CheckBox9Click(); });
    onToggled(CheckBox10, this, [this] { CheckBox10Click(); });
    onToggled(CheckBox11, this, [this] { CheckBox11Click(); });
    for (QCheckBox* box : {CheckBox6, CheckBox7, CheckBox9, CheckBox10, CheckBox11, DCheck1})
        connect(box, &QCheckBox::toggled, this, &OptionsPanel::announcementBoxesChanged);
    // "D" and the menu's "Display" are one switch.
    connect(menuItem("Display1"), &QAction::triggered, DCheck1, &QCheckBox::setChecked);
    connect(DCheck1, &QCheckBox::toggled, this, [this](bool on) {
        menuItem("Display1")->setChecked(on);
        emit displayWishChanged(on);
        emit commandDone();
    });
    connect(CheckBox8, &QCheckBox::toggled, this, &OptionsPanel::titleFormToggled);
    onToggled(CheckBox12, this, [this] {
        menuItem("Autoscroll")->setChecked(CheckBox12->isChecked());
        emit autoScrollToggled();
    });
}

bool OptionsPanel::voiceOn() const {
    return CheckBox6->isChecked();
}

// A read-out of any kind: spoken, or a sentence on the clipboard.
bool OptionsPanel::readOutWanted() const {
    return CheckBox6->isChecked() || CheckBox7->isChecked() || CheckBox10->isChecked();
}

AnnouncementBoxes OptionsPanel::announcementBoxes() const {
    return {CheckBox6->isChecked(),  CheckBox9->isChecked(),  CheckBox7->isChecked(),
            CheckBox10->isChecked(), CheckBox11->isChecked(), DCheck1->isChecked()};
}

SoundLevels OptionsPanel::soundLevels() const {
    return volume_->levels();
}

void OptionsPanel::setSoundLevels(SoundLevels levels) {
    volume_->setLevels(levels);
}

bool OptionsPanel::liveShare() const {
    return live_->share();
}

void OptionsPanel::setLiveShare(bool share) {
    live_->setShare(share);
}

bool OptionsPanel::liveRemote() const {
    return live_->remote();
}

void OptionsPanel::setLiveRemote(bool remote) {
    live_->setRemote(remote);
}

bool OptionsPanel::liveRemoteStartStop() const {
    return live_->remoteStartStop();
}

void OptionsPanel::setLiveRemoteStartStop(bool allowed) {
    live_->setRemoteStartStop(allowed);
}

bool OptionsPanel::autoScroll() const {
    return CheckBox12->isChecked();
}

bool OptionsPanel::titleShowsLap() const {
    return CheckBox8->isChecked();
}

bool OptionsPanel::milePerHour() const {
    return menuItem("MilePerHour1")->isChecked();
}

void OptionsPanel::syncMenuWithBoxes() {
    menuItem("Autoscroll")->setChecked(CheckBox12->isChecked());
    menuItem("Voice1")->setChecked(CheckBox6->isChecked());
    if (CheckBox7->isChecked() && CheckBox10->isChecked())
        CheckBox10->setChecked(false);
}

void OptionsPanel::About1Click() {
    TForm3::ensureExists()->show();
    emit commandDone();
}

// The window opens beside the main one and takes the keyboard, so that the arrow keys move its
// sliders; the hotkeys stay the watch's.
void OptionsPanel::Volume1Click() {
    volume_->open();
}

void OptionsPanel::LiveResults1Click() {
    live_->open();
}

void OptionsPanel::AutoscrollClick() {
    CheckBox12->setChecked(menuItem("Autoscroll")->isChecked());
}

void OptionsPanel::Voice1Click() {
    CheckBox6->setChecked(menuItem("Voice1")->isChecked());
}

// ---- Check box rules -----------------------------------------------------------------------
// Setting a box from code runs its own rule too, so the rules cascade until they agree.

void OptionsPanel::CheckBox6Click() {
    menuItem("Voice1")->setChecked(CheckBox6->isChecked());
    if (CheckBox9->isChecked() && !CheckBox6->isChecked())
        CheckBox9->setChecked(false);
    if (CheckBox6->isChecked()) {
        CheckBox7->setChecked(false);
        CheckBox10->setChecked(false);
        CheckBox11->setChecked(false);
    }
    emit commandDone();
}

void OptionsPanel::CheckBox7Click() {
    applyClipboardBoxRule(CheckBox7, CheckBox10);
}

void OptionsPanel::CheckBox10Click() {
    applyClipboardBoxRule(CheckBox10, CheckBox7);
}

// "ClipE" and "J" exclude each other and the voice read-out; the clipboard "Re" needs one of
// them.
void OptionsPanel::applyClipboardBoxRule(QCheckBox* changed, QCheckBox* other) {
    if (changed->isChecked() && other->isChecked())
        other->setChecked(false);
    if (!changed->isChecked() && !other->isChecked())
        CheckBox11->setChecked(false);
    if (changed->isChecked()) {
        CheckBox6->setChecked(false);
        CheckBox9->setChecked(false);
    }
    emit commandDone();
}

void OptionsPanel::CheckBox9Click() {
    if (!CheckBox6->isChecked())
        CheckBox9->setChecked(false);
    emit commandDone();
}

void OptionsPanel::CheckBox11Click() {
    if (!CheckBox7->isChecked() && !CheckBox10->isChecked())
        CheckBox11->setChecked(false);
    emit commandDone();
}
