#include "PortalHotkeyBackend.h"

#include "HotkeyCommands.h"
#include "Shortcut.h"

#include <QDBusArgument>
#include <QDBusMessage>
#include <QDBusMetaType>
#include <QDBusObjectPath>
#include <QSet>
#include <QTimer>
#include <xkbcommon/xkbcommon.h>

namespace kelvos {

namespace {
const QString kService = QStringLiteral("org.freedesktop.portal.Desktop");
const QString kPath = QStringLiteral("/org/freedesktop/portal/desktop");
const QString kInterface = QStringLiteral("org.freedesktop.portal.GlobalShortcuts");
const QString kRequest = QStringLiteral("org.freedesktop.portal.Request");
constexpr int kCallTimeoutMs = 5000;

// One entry of the portal's a(sa{sv}) shortcut lists.
struct PortalShortcut {
    QString id;
    QVariantMap properties;
};

QDBusArgument& operator<<(QDBusArgument& argument, const PortalShortcut& shortcut) {
    argument.beginStructure();
    argument << shortcut.id << shortcut.properties;
    argument.endStructure();
    return argument;
}

const QDBusArgument& operator>>(const QDBusArgument& argument, PortalShortcut& shortcut) {
    argument.beginStructure();
    argument >> shortcut.id >> shortcut.properties;
    argument.endStructure();
    return argument;
}
} // namespace

} // namespace kelvos

Q_DECLARE_METATYPE(kelvos::PortalShortcut)

namespace kelvos {

QString portalTrigger(quint16 shortcut) {
    const std::vector<quint32> keysyms = keysymsForVirtualKey(shortcutKey(shortcut));
    if (keysyms.empty())
        return {};
    char name[64];
    if (xkb_keysym_get_name(keysyms.front(), name, sizeof name) < 0)
        return {};
    QString trigger;
    if (shortcut & shortcut::Ctrl)
        trigger += "CTRL+";
    if (shortcut & shortcut::Alt)
        trigger += "ALT+";
    if (shortcut & shortcut::Shift)
        trigger += "SHIFT+";
    return trigger + QString::fromLatin1(name);
}

bool PortalHotkeyBackend::offered(const QDBusConnection& bus) {
    if (!bus.isConnected())
        return false;
    QDBusMessage get =
        QDBusMessage::createMethodCall(kService, kPath, "org.freedesktop.DBus.Properties", "Get");
    get << kInterface << QStringLiteral("version");
    const QDBusMessage reply = bus.call(get, QDBus::Block, kCallTimeoutMs);
    return reply.type() == QDBusMessage::ReplyMessage;
}

PortalHotkeyBackend::PortalHotkeyBackend(QDBusConnection bus, QObject* parent)
    : HotkeyBackend(parent), bus_(std::move(bus)) {
    // The bus finds the slots' argument types by name.
    qRegisterMetaType<QDBusObjectPath>();
    qDBusRegisterMetaType<PortalShortcut>();
    qDBusRegisterMetaType<QList<PortalShortcut>>();
    bus_.connect(kService, kPath, kInterface, "Activated", this,
                 SLOT(activated(QDBusObjectPath, QString, qulonglong, QVariantMap)));
    ask("CreateSession", {QVariantMap{{"session_handle_token", "kelvos"}}}, "kelvos_session",
        SLOT(sessionCreated(uint, QVariantMap)));
}

bool PortalHotkeyBackend::AddHotKey(int index, quint16 shortcut) {
    if (index < 1 || index > kHotkeyCommandCount)
        return false;
    Key& key = keys_[index];
    key.shortcut = shortcut;
    key.live = true;
    if (!key.bound || key.boundShortcut != shortcut)
        bindSoon();
    return key.answer != Answer::Refused;
}

bool PortalHotkeyBackend::RemoveHotKey(int index) {
    const auto key = keys_.find(index);
    if (key == keys_.end() || !key->live)
        return false;
    key->live = false;
    return true;
}

// A request's answer comes as a Response signal on an object whose path the portal makes from
// our connection's name and the token: listening there before asking cannot miss it.
void PortalHotkeyBackend::ask(const QString& method, const QList<QVariant>& arguments,
                              const QString& token, const char* responseSlot) {
    const QString handleToken = QString("%1_%2").arg(token).arg(++requests_);
    QString sender = bus_.baseService().mid(1);
    sender.replace('.', '_');
    const QString request = kPath + "/request/" + sender + "/" + handleToken;
    bus_.connect(kService, request, kRequest, "Response", this, responseSlot);

    QList<QVariant> withToken = arguments;
    QVariantMap options = withToken.takeLast().toMap();
    options.insert("handle_token", handleToken);
    withToken << options;
    QDBusMessage call = QDBusMessage::createMethodCall(kService, kPath, kInterface, method);
    call.setArguments(withToken);
    bus_.send(call);
}

void PortalHotkeyBackend::sessionCreated(uint response, const QVariantMap& results) {
    const QVariant handle = results.value("session_handle");
    session_ = handle.canConvert<QDBusObjectPath>() ? handle.value<QDBusObjectPath>().path()
                                                    : handle.toString();
    if (response != 0 || session_.isEmpty()) {
        session_.clear();
        for (auto it = keys_.begin(); it != keys_.end(); ++it)
            answer(it.key(), Answer::Refused);
        return;
    }
    bindSoon();
}

// The registrations of one pass of the UI thread (all seven at the window's creation) go to
// the portal as one bind.
void PortalHotkeyBackend::bindSoon() {
    if (std::exchange(bindQueued_, true))
        return;
    QTimer::singleShot(0, this, &PortalHotkeyBackend::bind);
}

void PortalHotkeyBackend::bind() {
    bindQueued_ = false;
    if (session_.isEmpty() || binding_)
        return; // bound once the session is there, or once the bind under way is answered
    QList<PortalShortcut> shortcuts;
    for (int index = 1; index <= kHotkeyCommandCount; ++index) {
        Key& key = keys_[index];
        key.boundShortcut = key.shortcut;
        key.bound = true;
        QVariantMap properties{{"description", QString(kHotkeyCommands[index - 1].description)}};
        const QString trigger = portalTrigger(key.shortcut);
        if (!trigger.isEmpty())
            properties.insert("preferred_trigger", trigger);
        shortcuts.append({kHotkeyCommands[index - 1].id, properties});
    }
    binding_ = true;
    ask("BindShortcuts",
        {QVariant::fromValue(QDBusObjectPath(session_)), QVariant::fromValue(shortcuts), QString(),
         QVariantMap()},
        "kelvos_bind", SLOT(shortcutsBound(uint, QVariantMap)));
}

void PortalHotkeyBackend::shortcutsBound(uint response, const QVariantMap& results) {
    binding_ = false;
    QList<PortalShortcut> granted;
    if (response == 0)
        results.value("shortcuts").value<QDBusArgument>() >> granted;
    QSet<int> grantedIndexes;
    for (const PortalShortcut& shortcut : granted)
        if (const int index = hotkeyIndexOfId(shortcut.id))
            grantedIndexes.insert(index);
    for (int index = 1; index <= kHotkeyCommandCount; ++index)
        answer(index, grantedIndexes.contains(index) ? Answer::Granted : Answer::Refused);
    for (const Key& key : std::as_const(keys_))
        if (key.boundShortcut != key.shortcut)
            return bindSoon(); // a combination changed while the portal was answering
}

void PortalHotkeyBackend::answer(int index, Answer answer) {
    Key& key = keys_[index];
    const bool wasUsable = key.answer != Answer::Refused;
    key.answer = answer;
    const bool usable = answer != Answer::Refused;
    if (key.live && usable != wasUsable)
        emit registrationChanged(index, usable);
}

// The portal's time stamp is on a clock of its own: the press is timed when it arrives.
void PortalHotkeyBackend::activated(const QDBusObjectPath& session, const QString& id, qulonglong,
                                    const QVariantMap&) {
    if (session.path() != session_)
        return;
    const int index = hotkeyIndexOfId(id);
    if (index && keys_.value(index).live && keys_.value(index).answer == Answer::Granted)
        emit pressed(index, 0);
}

} // namespace kelvos
