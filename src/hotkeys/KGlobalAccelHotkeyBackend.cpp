#include "KGlobalAccelHotkeyBackend.h"

#include "HotkeyCommands.h"
#include "Shortcut.h"

#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusReply>

namespace kelvos {

namespace {
const QString kService = QStringLiteral("org.kde.kglobalaccel");
const QString kComponent = QStringLiteral("kelvos");
constexpr int kCallTimeoutMs = 5000;
// kglobalaccel's setShortcut flags: the action is there now, and the keys are ours to set
// (not the ones its settings file remembers).
constexpr uint kSetPresent = 2;
constexpr uint kNoAutoloading = 4;

// A keypad key as a keyboard sends it with NumLock off (Num 1 is keypad End).
int keypadKeyWithoutNumLock(quint8 key) {
    static constexpr int kDigits[] = {
        Qt::Key_Insert, Qt::Key_End,   Qt::Key_Down, Qt::Key_PageDown, Qt::Key_Left,
        Qt::Key_Clear,  Qt::Key_Right, Qt::Key_Home, Qt::Key_Up,       Qt::Key_PageUp};
    if (key >= vk::numpad(0) && key <= vk::numpad(9))
        return kDigits[key - vk::numpad(0)];
    return key == vk::Decimal ? int(Qt::Key_Delete) : 0;
}

// The action as kglobalaccel names it: component and action, each unique and friendly.
QStringList actionId(int index) {
    const HotkeyCommand& command = kHotkeyCommands[index - 1];
    return {kComponent, QString::fromLatin1(command.id), QStringLiteral("KelvoS"),
            QString::fromLatin1(command.description)};
}

QDBusMessage call(const QString& method, const QList<QVariant>& arguments) {
    QDBusMessage message =
        QDBusMessage::createMethodCall(kService, "/kglobalaccel", "org.kde.KGlobalAccel", method);
    message.setArguments(arguments);
    return message;
}
} // namespace

QList<int> kglobalaccelKeys(quint16 shortcut) {
    const quint8 key = shortcutKey(shortcut);
    const QtKey qtKey = qtKeyForVirtualKey(key);
    if (!qtKey.key)
        return {};
    const int modifiers = int(qtModifiersOf(shortcut));
    // KWin reports a keypad key as the key it types, without a keypad flag.
    QList<int> keys{modifiers | qtKey.key};
    if (const int withoutNumLock = qtKey.keypad ? keypadKeyWithoutNumLock(key) : 0)
        keys << (modifiers | withoutNumLock);
    return keys;
}

bool KGlobalAccelHotkeyBackend::offered(const QDBusConnection& bus) {
    return bus.isConnected() && bus.interface()->isServiceRegistered(kService);
}

KGlobalAccelHotkeyBackend::KGlobalAccelHotkeyBackend(QDBusConnection bus, QObject* parent)
    : HotkeyBackend(parent), bus_(std::move(bus)) {
    bus_.connect(kService, "/component/" + kComponent, "org.kde.kglobalaccel.Component",
                 "globalShortcutPressed", this, SLOT(shortcutPressed(QString, QString, qlonglong)));
}

bool KGlobalAccelHotkeyBackend::AddHotKey(int index, quint16 shortcut) {
    if (index < 1 || index > kHotkeyCommandCount)
        return false;
    RemoveHotKey(index); // frees the key it had
    const QList<int> keys = kglobalaccelKeys(shortcut);
    if (keys.isEmpty())
        return false;
    const QStringList action = actionId(index);
    bus_.call(call("doRegister", {action}), QDBus::Block, kCallTimeoutMs); // present again
    // The answer is the keys the action has now: without a key another action holds.
    const QDBusReply<QList<int>> set = bus_.call(
        call("setShortcut", {action, QVariant::fromValue(keys), kSetPresent | kNoAutoloading}),
        QDBus::Block, kCallTimeoutMs);
    if (set.isValid() && set.value().contains(keys.front())) {
        live_ << index;
        return true;
    }
    bus_.send(call("setInactive", {action})); // holds none of its other keys either
    return false;
}

bool KGlobalAccelHotkeyBackend::RemoveHotKey(int index) {
    if (!live_.removeAll(index))
        return false;
    bus_.send(call("setInactive", {actionId(index)}));
    return true;
}

// kglobalaccel's time stamp is the compositor's: the press is timed when it arrives.
void KGlobalAccelHotkeyBackend::shortcutPressed(const QString& component, const QString& action,
                                                qlonglong) {
    const int index = hotkeyIndexOfId(action);
    if (component == kComponent && live_.contains(index))
        emit pressed(index, 0);
}

} // namespace kelvos
