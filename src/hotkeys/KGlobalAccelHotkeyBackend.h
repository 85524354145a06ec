#pragma once

#include "HotkeyBackend.h"

#include <QDBusConnection>
#include <QList>
#include <QString>

namespace kelvos {

// The keys KDE's global shortcut service is given for a combination, as Qt key codes with
// their modifiers. KWin reports a keypad key as the key it types, without a keypad flag: a
// keypad digit is given in both its NumLock-on and NumLock-off form (Num 1 as 1 and End),
// so that the hotkey works in either NumLock state, and so also answers the main 1 and End
// keys. Empty for a word without a key.
QList<int> kglobalaccelKeys(quint16 shortcut);

// System-wide hotkeys through KDE's global shortcut service (kglobalaccel, inside KWin on a
// Plasma Wayland session), as KDE's own programs register theirs: on Plasma 5 the desktop
// portal's global shortcuts bind nothing, so there the seven commands are registered
// directly as actions of a component "kelvos". The service grants at once a key that no
// other program's action holds, and says which keys it set; the keys are the operator's from
// KelvoS's settings, not ones the service remembers. Removing a hotkey frees its key for
// other programs.
class KGlobalAccelHotkeyBackend final : public HotkeyBackend {
    Q_OBJECT
public:
    // Whether the session bus has KDE's global shortcut service.
    static bool offered(const QDBusConnection& bus);

    explicit KGlobalAccelHotkeyBackend(QDBusConnection bus, QObject* parent = nullptr);

    bool AddHotKey(int index, quint16 shortcut) override;
    bool RemoveHotKey(int index) override;

private slots:
    void shortcutPressed(const QString& component, const QString& action, qlonglong timestamp);

private:
    QDBusConnection bus_;
    QList<int> live_;
};

} // namespace kelvos
