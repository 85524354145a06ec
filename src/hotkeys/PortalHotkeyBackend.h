#pragma once

#include "HotkeyBackend.h"

#include <QDBusConnection>
#include <QMap>
#include <QString>
#include <QVariantMap>

class QDBusObjectPath;

namespace kelvos {

// A combination as a desktop portal's preferred trigger ("CTRL+ALT+a", "KP_1"): modifiers and
// the key's XKB keysym name; empty for a word without a key.
QString portalTrigger(quint16 shortcut);

// System-wide hotkeys through the desktop portal's GlobalShortcuts, for Wayland desktops,
// where no program may grab keys. The seven commands are bound to one session of the portal
// with the operator's combinations as preferred triggers; the desktop (often by asking its
// user) decides which triggers it grants, and tells of each press with an Activated signal.
//
// The portal answers later than a grab does: a combination is taken as asked for until the
// portal's answer, and registrationChanged() reports a refusal (or a later grant). Removing a
// hotkey keeps it bound at the portal and ignores its presses, so that the run's switching of
// keys on and off does not ask the desktop again each time.
class PortalHotkeyBackend final : public HotkeyBackend {
    Q_OBJECT
public:
    // Whether the session bus has a desktop portal with global shortcuts.
    static bool offered(const QDBusConnection& bus);

    explicit PortalHotkeyBackend(QDBusConnection bus, QObject* parent = nullptr);

    bool AddHotKey(int index, quint16 shortcut) override;
    bool RemoveHotKey(int index) override;
    Refuser refuser() const override { return Refuser::Desktop; }

private slots:
    void sessionCreated(uint response, const QVariantMap& results);
    void shortcutsBound(uint response, const QVariantMap& results);
    void activated(const QDBusObjectPath& session, const QString& id, qulonglong timestamp,
                   const QVariantMap& options);

private:
    enum class Answer { Asked, Granted, Refused };
    struct Key {
        quint16 shortcut = 0;
        quint16 boundShortcut = 0; // as last bound
        bool bound = false;        // a bind has been asked for with boundShortcut
        bool live = false;
        Answer answer = Answer::Asked;
    };

    void ask(const QString& method, const QList<QVariant>& arguments, const QString& token,
             const char* responseSlot);
    void bindSoon();
    void bind();
    void answer(int index, Answer answer);

    QDBusConnection bus_;
    QString session_;
    QMap<int, Key> keys_;
    bool bindQueued_ = false;
    bool binding_ = false;
    int requests_ = 0;
};

} // namespace kelvos
