#pragma once

#include <QObject>

namespace kelvos {

// A system service that turns key combinations into system-wide hotkeys. Each hotkey is
// known by a small index chosen by the caller; a press anywhere on the desktop is
// reported through pressed(index, eventTime).
class HotkeyBackend : public QObject {
    Q_OBJECT

public:
    using QObject::QObject;

    // Registers `shortcut` (a shortcut word) under `index`, replacing what the index held.
    // Returns false, leaving the index unregistered, when the system refuses the
    // combination (another program holds it, or the key has no key on this keyboard).
    virtual bool AddHotKey(int index, quint16 shortcut) = 0;
    // Unregisters `index`; false when it was not registered.
    virtual bool RemoveHotKey(int index) = 0;

    // Who refuses a combination: another program holding it (X11 grabs), or the desktop and
    // its user (a portal that grants shortcuts). The operator is told which.
    enum class Refuser { OtherProgram, Desktop };
    virtual Refuser refuser() const { return Refuser::OtherProgram; }

signals:
    // `eventTime` is the system's time stamp of the key event in milliseconds (the X server
    // time), 0 when unknown.
    void pressed(int index, quint32 eventTime);
    // A desktop that answers registrations later (the portal, which may ask its user) has
    // granted (`live`) or refused the combination of a registered index.
    void registrationChanged(int index, bool live);
};

} // namespace kelvos
