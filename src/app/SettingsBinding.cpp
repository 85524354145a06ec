#include "SettingsBinding.h"

#include "CoursePanel.h"
#include "FormScaler.h"
#include "HotkeyComponent.h"
#include "HotkeysPanel.h"
#include "LapsPanel.h"
#include "MainWindowLayout.h"
#include "OptionsPanel.h"
#include "THotKey.h"

#include <QAction>
#include <QCheckBox>
#include <QTimer>
#include <algorithm>
#include <cmath>
#include <functional>
#include <vector>

using namespace kelvos;

namespace {
// The pause after the last change before the settings are saved: a burst of changes (a name
// typed, boxes clicked in a row) is written once.
constexpr int kAutosaveDelayMs = 3000;

// Name, section, key and default of every setting, in the file's order.
const TRegItem kSettingItems[] = {
    {"HotKey1Component", "Form\\HotKey1", "prop", ""},
    {"HotKey2Component", "Form\\HotKey2", "prop", ""},
    {"HotKey3Component", "Form\\HotKey3", "prop", ""},
    {"HotKey4Component", "Form\\HotKey4", "prop", ""},
    {"HotKey5Component", "Form\\HotKey5", "prop", ""},
    {"HotKey6Component", "Form\\HotKey6", "prop", ""},
    {"HotKey7Component", "Form\\HotKey7", "prop", ""},
    {"Edit1Text", "AsString", "Edit1Text", ""},
    {"Edit2Text", "AsString", "Edit2Text", ""},
    {"Edit3Text", "AsString", "Edit3Text", ""},
    {"CheckBox1Checked", "Form\\Chart1\\CheckBox1", "Checked", "False"},
    {"CheckBox5Checked", "Form\\CheckBox5", "Checked", "False"},
    {"CheckBox6Checked", "Form\\CheckBox6", "Checked", "True"},
    {"CheckBox7Checked", "Form\\CheckBox7", "Checked", "False"},
    {"CheckBox8Checked", "Form\\CheckBox8", "Checked", "False"},
    {"CheckBox9Checked", "Form\\CheckBox9", "Checked", "False"},
    {"CheckBox10Checked", "Form\\CheckBox10", "Checked", "False"},
    {"CheckBox11Checked", "Form\\CheckBox11", "Checked", "False"},
    {"CheckBox12Checked", "Form\\CheckBox12", "Checked", "True"},
    {"DCheck1Checked", "Form\\DCheck1", "Checked", "False"},
    {"ComboBox1ItemIndex", "Form\\ComboBox1ItemIndex", "Integer", "0"},
    {"PipopaChecked", "Form\\Pipopa", "Checked", "False"},
    {"MilePerHour1Checked", "Form\\MilePerHour1", "Checked", "False"},
    {"WindowScale", "Window", "Scale", ""},
    {"WindowLeft", "Window", "Left", ""},
    {"WindowTop", "Window", "Top", ""},
    {"VoiceVolume", "Sound", "VoiceVolume", "100"},
    {"ToneVolume", "Sound", "ToneVolume", "100"},
    {"LiveShare", "Live", "Share", "0"},
    {"LiveRemote", "Live", "Remote", "0"},
    {"LiveRemoteStartStop", "Live", "RemoteStartStop", "0"},
};

// The boxes restored when the window is shown, in the order in which their rules cascade.
const char* const kRestoredBoxes[] = {"CheckBox5",  "CheckBox1", "CheckBox6",  "CheckBox7",
                                      "CheckBox8",  "CheckBox9", "CheckBox10", "CheckBox11",
                                      "CheckBox12", "DCheck1"};
// The boxes saved at close, in the file's order.
const char* const kSavedBoxes[] = {"CheckBox1",  "CheckBox5", "CheckBox6",  "CheckBox7",
                                   "CheckBox8",  "CheckBox9", "CheckBox10", "CheckBox11",
                                   "CheckBox12", "DCheck1"};

QString itemOfBox(const char* box) {
    return QString::fromLatin1(box) + "Checked";
}
QString hotkeyName(int i) {
    return QString("HotKey%1").arg(i);
}
} // namespace

class SettingsBinding::Messages final : public SettingsErrorReporter {
public:
    void report(const QString& message) override { messages_ << message; }
    QStringList take() { return std::exchange(messages_, {}); }

private:
    QStringList messages_;
};

SettingsBinding::SettingsBinding(QWidget* form, const QString& iniFile, Panels panels)
    : QObject(form), form_(form), panels_(panels), messages_(std::make_unique<Messages>()),
      saveTimer_(new QTimer(this)) {
    saveTimer_->setObjectName("SettingsSaveTimer");
    saveTimer_->setSingleShot(true);
    saveTimer_->setInterval(kAutosaveDelayMs);
    connect(saveTimer_, &QTimer::timeout, this, &SettingsBinding::autosave);
    RegManager1.setErrorReporter(messages_.get());
    RegManager1.setIniFileName(iniFile);
    for (const TRegItem& item : kSettingItems)
        RegManager1.RegItems().add(item);
}

SettingsBinding::~SettingsBinding() = default;

QStringList SettingsBinding::takeProblems() {
    return messages_->take();
}

void SettingsBinding::reportProblem(const QString& message) {
    messages_->report(message);
}

bool SettingsBinding::loadCreationSettings() {
    // The file is read once for the whole start-up; restoreShownSettings() ends the batch.
    RegManager1.beginBatch();
    for (int i = 1; i <= kHotkeyCount; ++i) {
        const auto component = RegManager1.Item(hotkeyName(i) + "Component").ReadComponent();
        if (const auto word = component ? shortcutOfHotkeyComponent(*component) : std::nullopt)
            panels_.hotkeys.editor(Hotkey(i))->setShortcut(*word);
    }
    panels_.laps.setNames({RegManager1.Item("Edit1Text").GetAsString(),
                           RegManager1.Item("Edit2Text").GetAsString(),
                           RegManager1.Item("Edit3Text").GetAsString()});
    return RegManager1.Item("PipopaChecked").GetAsBoolean();
}

void SettingsBinding::restoreShownSettings() {
    for (const char* name : kRestoredBoxes)
        form_->findChild<QCheckBox*>(name)->setChecked(
            RegManager1.Item(itemOfBox(name)).GetAsBoolean());
    panels_.options.menuItem("MilePerHour1")
        ->setChecked(RegManager1.Item("MilePerHour1Checked").GetAsBoolean());
    panels_.course.choose(RegManager1.Item("ComboBox1ItemIndex").GetAsInteger());
    panels_.options.setSoundLevels(
        {soundLevelFromText(RegManager1.Item("VoiceVolume").GetAsString()),
         soundLevelFromText(RegManager1.Item("ToneVolume").GetAsString())});
    panels_.options.setLiveShare(RegManager1.Item("LiveShare").GetAsBoolean());
    panels_.options.setLiveRemote(RegManager1.Item("LiveRemote").GetAsBoolean());
    panels_.options.setLiveRemoteStartStop(RegManager1.Item("LiveRemoteStartStop").GetAsBoolean());
    RegManager1.endBatch();
    panels_.options.syncMenuWithBoxes();
    restored_ = true;
    saveOnChanges();
}

// Every control whose state is saved restarts the pause, so a burst of changes is one save.
void SettingsBinding::saveOnChanges() {
    const auto restartPause = [this] { saveTimer_->start(); };
    for (int i = 1; i <= kHotkeyCount; ++i)
        connect(panels_.hotkeys.editor(Hotkey(i)), &THotKey::shortcutChanged, this, restartPause);
    connect(&panels_.laps, &LapsPanel::nameChanged, this, restartPause);
    for (const char* name : kSavedBoxes)
        connect(form_->findChild<QCheckBox*>(name), &QCheckBox::toggled, this, restartPause);
    connect(&panels_.course, &CoursePanel::courseChanged, this, restartPause);
    connect(panels_.options.menuItem("MilePerHour1"), &QAction::toggled, this, restartPause);
    connect(&panels_.options, &OptionsPanel::soundLevelsChanged, this, restartPause);
    connect(&panels_.options, &OptionsPanel::liveShareChanged, this, restartPause);
    connect(&panels_.options, &OptionsPanel::liveRemoteChanged, this, restartPause);
    connect(&panels_.options, &OptionsPanel::liveRemoteStartStopChanged, this, restartPause);
}

void SettingsBinding::autosave() {
    if (saveSettings()) {
        failureTold_ = false;
        return;
    }
    const QStringList problems = takeProblems();
    if (!std::exchange(failureTold_, true))
        emit autosaveFailed(problems.join('\n'));
}

// The window's scale in percent and its frame's top left; none when any of them is missing.
std::optional<WindowPlace> SettingsBinding::windowPlace() {
    bool scaled = false, left = false, top = false;
    const WindowPlace place{RegManager1.Item("WindowScale").GetAsString().toInt(&scaled) / 100.0,
                            {RegManager1.Item("WindowLeft").GetAsString().toInt(&left),
                             RegManager1.Item("WindowTop").GetAsString().toInt(&top)}};
    if (!scaled || !left || !top)
        return std::nullopt;
    return place;
}

bool SettingsBinding::saveSettings() {
    saveTimer_->stop(); // this save takes every change so far
    if (!restored_)
        return true;
    RegManager1.beginBatch(); // every change goes into the file in one replacement
    std::vector<std::function<bool()>> writes;
    for (int i = 1; i <= kHotkeyCount; ++i) {
        writes.push_back([this, i] {
            const THotKey* editor = panels_.hotkeys.editor(Hotkey(i));
            return RegManager1.Item(hotkeyName(i) + "Component")
                .WriteComponent(
                    hotkeyEditorComponent(hotkeyName(i), editor->shortcut(),
                                          designedRect(editor->objectName().toLatin1())));
        });
    }
    const CompetitorNames names = panels_.laps.names();
    for (const auto& [item, name] :
         {std::pair{"Edit1Text", names.name1}, std::pair{"Edit2Text", names.name2},
          std::pair{"Edit3Text", names.name3}}) {
        writes.push_back([this, item, name] { return RegManager1.Item(item).SetAsString(name); });
    }
    for (const char* name : kSavedBoxes) {
        writes.push_back([this, name] {
            return RegManager1.Item(itemOfBox(name))
                .SetAsBoolean(form_->findChild<QCheckBox*>(name)->isChecked());
        });
    }
    writes.push_back([this] {
        return RegManager1.Item("ComboBox1ItemIndex").SetAsInteger(panels_.course.chosenIndex());
    });
    // The jingle plays at the next start only when "Voice" was on at this close.
    writes.push_back([this] {
        return RegManager1.Item("PipopaChecked").SetAsBoolean(panels_.options.voiceOn());
    });
    writes.push_back([this] {
        return RegManager1.Item("MilePerHour1Checked").SetAsBoolean(panels_.options.milePerHour());
    });
    writes.push_back([this] {
        const WindowPlace place = FormScaler::of(form_)->place();
        return RegManager1.Item("WindowScale").SetAsInteger(int(std::lround(place.scale * 100))) &&
               RegManager1.Item("WindowLeft").SetAsInteger(place.framePosition.x()) &&
               RegManager1.Item("WindowTop").SetAsInteger(place.framePosition.y());
    });
    writes.push_back([this] {
        const SoundLevels levels = panels_.options.soundLevels();
        return RegManager1.Item("VoiceVolume").SetAsInteger(levels.voice) &&
               RegManager1.Item("ToneVolume").SetAsInteger(levels.tones);
    });
    writes.push_back(
        [this] { return RegManager1.Item("LiveShare").SetAsBoolean(panels_.options.liveShare()); });
    writes.push_back([this] {
        return RegManager1.Item("LiveRemote").SetAsBoolean(panels_.options.liveRemote());
    });
    writes.push_back([this] {
        return RegManager1.Item("LiveRemoteStartStop")
            .SetAsBoolean(panels_.options.liveRemoteStartStop());
    });
    const bool stored =
        std::all_of(writes.begin(), writes.end(), [](const auto& write) { return write(); });
    return RegManager1.endBatch() && stored;
}
