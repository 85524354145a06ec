#pragma once

#include "HotkeyBackend.h"
#include "PressTiming.h"
#include "RunStates.h"

#include <QObject>
#include <array>
#include <functional>
#include <memory>

class QCheckBox;
class QLabel;
class THookHotKey;
class THotKey;

// The seven system-wide hotkeys: their editors, the OK and Del buttons, the state labels that
// show by their colour whether a key is live, and "stopkeyoff".
class HotkeysPanel : public QObject {
    Q_OBJECT
public:
    // No backend: the desktop's own hotkeys (X11). A press is handled at the time its key
    // event carries.
    HotkeysPanel(QWidget* form, std::unique_ptr<kelvos::HotkeyBackend> backend,
                 kelvos::PressTiming& timing, std::function<void(const QString&)> reportProblem);

    THotKey* editor(kelvos::Hotkey key) const { return editors_[slot(key)]; }
    bool stopKeyOff() const;
    bool isLive(kelvos::Hotkey key) const { return live_[slot(key)]; }

    void putDefaultCombinations();
    void registerAll();
    void applyRunState(const kelvos::RunStateEffects& effects);
    bool registerHotkey(kelvos::Hotkey key);
    void unregisterHotkey(kelvos::Hotkey key);
    void unregisterAll();

signals:
    void hotkeyPressed(kelvos::Hotkey key);
    void commandDone();

private:
    static std::size_t slot(kelvos::Hotkey key) { return std::size_t(key) - 1; }
    void connectButtons(QWidget* form);
    void confirmHotkey(kelvos::Hotkey key);
    bool refusedByTheDesktop() const;
    void paintStateLabel(kelvos::Hotkey key);
    void CheckBox5Click();

    THookHotKey* HookHotKey1;
    kelvos::PressTiming& timing_;
    std::function<void(const QString&)> reportProblem_;
    std::array<THotKey*, kelvos::kHotkeyCount> editors_{};
    std::array<QLabel*, kelvos::kHotkeyCount> stateLabels_{};
    std::array<bool, kelvos::kHotkeyCount> live_{};
    std::array<bool, kelvos::kHotkeyCount> told_{}; // the operator knows the key is refused
    QCheckBox* CheckBox5;
};
