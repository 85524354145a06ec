#pragma once

#include "HotkeyBackend.h"

#include <QMap>
#include <QObject>
#include <QTimer>
#include <memory>

// The hotkey component of a window: registers key combinations as system-wide hotkeys
// under small indexes and raises OnHotKey with the index when one is pressed anywhere.
//
// A combination the system refuses (another program holds it) is not given up: the component
// keeps asking for it every retryInterval() ms while any is outstanding, and reports with
// registrationChanged(index, true) when one becomes live.
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
    // refuses it, the old one stays and the new one is asked for again later.
    bool AddHotKey(int Index, quint16 ShortCut);
    // Unregisters Index and drops an outstanding request for it; false when it was not
    // registered.
    bool RemoveHotKey(int Index);
    // Who refuses combinations on this desktop.
    kelvos::HotkeyBackend::Refuser refuser() const { return backend_->refuser(); }

    // Whether a hotkey brings the owner's window to the front before OnHotKey.
    bool Activate() const { return activate_; }
    void setActivate(bool activate) { activate_ = activate; }

    // How often refused combinations are asked for again, in ms (default 3000).
    int retryInterval() const { return retry_.interval(); }
    void setRetryInterval(int ms) { retry_.setInterval(ms); }
    // Whether Index waits for a combination the system refused so far.
    bool isPending(int Index) const { return pending_.contains(Index); }

signals:
    void OnHotKey(QObject* Sender, int Index);
    // The same press with the key event's time stamp (X server ms, 0 when unknown), raised
    // right after OnHotKey: connect one of the two.
    void OnHotKeyAt(QObject* Sender, int Index, quint32 EventTime);
    // A command run from a hotkey threw; the hotkey keeps working.
    void hotKeyFailed(int Index, const QString& message);
    // A combination that was refused has been registered on a retry, or the desktop has
    // answered a registration later (granted or refused).
    void registrationChanged(int Index, bool live);

protected:
    virtual void DoHotKey(int Index, quint32 EventTime);

private:
    void activateOwnerWindow();
    bool hasListener() const;
    void retryPending();

    std::unique_ptr<kelvos::HotkeyBackend> backend_;
    bool activate_ = true;
    QMap<int, quint16> pending_;
    QTimer retry_;
};
