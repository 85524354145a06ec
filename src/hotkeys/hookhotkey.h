#pragma once

#include "hotkeybackend.h"

#include <QObject>
#include <memory>

// The hotkey component of a window: registers key combinations as system-wide hotkeys
// under small indexes and raises OnHotKey with the index when one is pressed anywhere.
class THookHotKey : public QObject {
    Q_OBJECT
    Q_PROPERTY(bool Activate READ Activate WRITE setActivate)

public:
    // Uses the X11 hotkey service of the running application; where there is none (another
    // platform) every registration is refused.
    explicit THookHotKey(QObject* owner = nullptr);
    // Uses the given service (tests pass a kelvos::FakeHotkeyBackend).
    THookHotKey(std::unique_ptr<kelvos::HotkeyBackend> backend, QObject* owner = nullptr);
    ~THookHotKey() override;

    // Registers ShortCut (a shortcut word) under Index; true when the system accepted it.
    // A new combination for a registered index replaces the old one; when the system
    // refuses it, the old one stays.
    bool AddHotKey(int Index, quint16 ShortCut);
    // Unregisters Index; false when it was not registered.
    bool RemoveHotKey(int Index);

    // Whether a hotkey brings the owner's window to the front before OnHotKey.
    bool Activate() const { return activate_; }
    void setActivate(bool activate) { activate_ = activate; }

signals:
    void OnHotKey(QObject* Sender, int Index);
    // A command run from a hotkey threw; the hotkey keeps working.
    void hotKeyFailed(int Index, const QString& message);

protected:
    virtual void DoHotKey(int Index);

private:
    void activateOwnerWindow();

    std::unique_ptr<kelvos::HotkeyBackend> backend_;
    bool activate_ = true;
};
