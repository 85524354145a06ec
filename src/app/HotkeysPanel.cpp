#include "HotkeysPanel.h"

#include "LabelLook.h"
#include "MainWindowLayout.h"
#include "Shortcut.h"
#include "TCuteButton.h"
#include "THookHotKey.h"
#include "THotKey.h"

#include <QCheckBox>
#include <QLabel>

using namespace kelvos;

namespace {
constexpr int kHotkeyActive = 2518271;
constexpr int kLapHotkeyActive = 14543586;
constexpr int kHotkeyInactive = 8813988;

// The state labels of hotkeys 1 to 7, and the OK and Del buttons of each row.
const char* const kStateLabels[kHotkeyCount] = {"Label19", "Label8",  "Label18", "Label17",
                                                "Label20", "Label21", "Label22"};
const char* const kEditors[kHotkeyCount] = {"HotKey1", "HotKey2", "HotKey3", "HotKey4",
                                            "HotKey5", "HotKey6", "HotKey7"};
const char* const kOkButtons[kHotkeyCount] = {"CuteButton5", "CuteButton6", "CuteButton7",
                                              "CuteButton8", "CuteButton9", "CuteButton10",
                                              "CuteButton11"};
const char* const kDelButtons[kHotkeyCount] = {"CuteButton12", "CuteButton13", "CuteButton14",
                                               "CuteButton15", "CuteButton16", "CuteButton17",
                                               "CuteButton18"};

Hotkey hotkeyAt(int slot) {
    return Hotkey(slot + 1);
}
} // namespace

HotkeysPanel::HotkeysPanel(QWidget* form, std::unique_ptr<HotkeyBackend> backend,
                           PressTiming& timing, std::function<void(const QString&)> reportProblem)
    : QObject(form), timing_(timing), reportProblem_(std::move(reportProblem)) {
    HookHotKey1 = backend ? new THookHotKey(std::move(backend), form) : new THookHotKey(form);
    HookHotKey1->setObjectName("HookHotKey1");
    HookHotKey1->setActivate(false);
    const PanelControls controls(form, PanelId::Hotkeys);
    for (int i = 0; i < kHotkeyCount; ++i) {
        editors_[i] = controls.take<THotKey>(kEditors[i]);
        stateLabels_[i] = controls.take<QLabel>(kStateLabels[i]);
    }
    CheckBox5 = controls.take<QCheckBox>("CheckBox5");
    connect(HookHotKey1, &THookHotKey::OnHotKeyAt, this,
            [this](QObject*, int index, quint32 eventTime) {
                const PressClock::Scope press(timing_.pressReading(eventTime));
                emit hotkeyPressed(Hotkey(index));
            });
    // A key another program held comes back to life once it is let go.
    connect(HookHotKey1, &THookHotKey::registrationChanged, this, [this](int index, bool live) {
        live_[slot(Hotkey(index))] = live;
        paintStateLabel(Hotkey(index));
    });
    connect(HookHotKey1, &THookHotKey::hotKeyFailed, this,
            [this](int, const QString& message) { reportProblem_(message); });
    connect(CheckBox5, &QCheckBox::toggled, this, &HotkeysPanel::CheckBox5Click);
    connectButtons(form);
}

// "OK" registers the combination in the editor of its row, "Del" removes it; CuteButton30 and
// CuteButton31 do so for all seven.
void HotkeysPanel::connectButtons(QWidget* form) {
    const PanelControls controls(form, PanelId::Hotkeys);
    const auto onClick = [this](TCuteButton* button, std::function<void()> command) {
        connect(button, &QPushButton::clicked, this, [this, command = std::move(command)] {
            command();
            emit commandDone();
        });
    };
    for (int i = 0; i < kHotkeyCount; ++i) {
        onClick(controls.take<TCuteButton>(kOkButtons[i]),
                [this, i] { confirmHotkey(hotkeyAt(i)); });
        onClick(controls.take<TCuteButton>(kDelButtons[i]),
                [this, i] { unregisterHotkey(hotkeyAt(i)); });
    }
    onClick(controls.take<TCuteButton>("CuteButton30"), [this] {
        for (int i = 0; i < kHotkeyCount; ++i)
            confirmHotkey(hotkeyAt(i));
    });
    onClick(controls.take<TCuteButton>("CuteButton31"), [this] { unregisterAll(); });
}

bool HotkeysPanel::stopKeyOff() const {
    return CheckBox5->isChecked();
}

void HotkeysPanel::putDefaultCombinations() {
    for (int i = 0; i < kHotkeyCount; ++i)
        editors_[i]->setShortcut(defaultHotkeys[i]);
}

void HotkeysPanel::registerAll() {
    for (int i = 0; i < kHotkeyCount; ++i)
        registerHotkey(hotkeyAt(i));
}

void HotkeysPanel::unregisterAll() {
    for (int i = 0; i < kHotkeyCount; ++i)
        unregisterHotkey(hotkeyAt(i));
}

void HotkeysPanel::applyRunState(const RunStateEffects& effects) {
    QStringList refused;
    for (int i = 0; i < kHotkeyCount; ++i) {
        const Switch change = effects.hotkey(hotkeyAt(i));
        if (change == Switch::On && !registerHotkey(hotkeyAt(i)) && !std::exchange(told_[i], true))
            refused << QString("%1 (%2)").arg(stateLabels_[i]->text(), editors_[i]->text());
        else if (change == Switch::Off)
            unregisterHotkey(hotkeyAt(i));
    }
    // Told once a key, without stopping anything: the buttons still work.
    if (refused.isEmpty())
        return;
    if (refusedByTheDesktop())
        reportProblem_(QString("The desktop has not granted these hotkeys, so they do not work "
                               "in KelvoS for now: %1. The desktop's keyboard shortcut settings "
                               "can grant them; the buttons in the window still work.")
                           .arg(refused.join(", ")));
    else
        reportProblem_(QString("Another program holds these hotkeys, so they do not work in "
                               "KelvoS for now: %1. The buttons in the window still do.")
                           .arg(refused.join(", ")));
}

// An operator who asks for a combination is told when the desktop refuses it.
void HotkeysPanel::confirmHotkey(Hotkey key) {
    if (registerHotkey(key))
        return;
    const std::size_t i = slot(key);
    reportProblem_(editors_[i]->shortcut() == 0
                       ? QString("No key is set for the %1 hotkey.").arg(stateLabels_[i]->text())
                   : refusedByTheDesktop()
                       ? QString("The desktop has not granted the %1 hotkey %2. Grant it in the "
                                 "desktop's keyboard shortcut settings, or choose another "
                                 "combination and press OK.")
                             .arg(stateLabels_[i]->text(), editors_[i]->text())
                       : QString("The %1 hotkey %2 cannot be used: another program holds it. "
                                 "Choose another combination and press OK.")
                             .arg(stateLabels_[i]->text(), editors_[i]->text()));
}

bool HotkeysPanel::refusedByTheDesktop() const {
    return HookHotKey1->refuser() == kelvos::HotkeyBackend::Refuser::Desktop;
}

bool HotkeysPanel::registerHotkey(Hotkey key) {
    const std::size_t i = slot(key);
    live_[i] = HookHotKey1->AddHotKey(int(key), editors_[i]->shortcut());
    paintStateLabel(key);
    return live_[i];
}

void HotkeysPanel::unregisterHotkey(Hotkey key) {
    HookHotKey1->RemoveHotKey(int(key));
    live_[slot(key)] = false;
    paintStateLabel(key);
}

// The state label shows whether the key really works: a combination the desktop refused (held
// by another program) stays in the inactive colour.
void HotkeysPanel::paintStateLabel(Hotkey key) {
    const int active = key >= Hotkey::Lap1 ? kLapHotkeyActive : kHotkeyActive;
    setLabelColor(stateLabels_[slot(key)], live_[slot(key)] ? active : kHotkeyInactive);
}

// "stopkeyoff" acts at once, whatever the state of the run.
void HotkeysPanel::CheckBox5Click() {
    if (CheckBox5->isChecked())
        unregisterHotkey(Hotkey::Stop);
    else
        registerHotkey(Hotkey::Stop);
    emit commandDone();
}
