#include "SleepInhibitor.h"

#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QVariantMap>

namespace kelvos {

namespace {
constexpr int kAnswerTimeoutMs = 5000;
constexpr uint kInhibitSuspend = 4;
constexpr uint kInhibitIdle = 8;
const QString kReason = QStringLiteral("A run is being timed");

const QString kPortalService = QStringLiteral("org.freedesktop.portal.Desktop");
const QString kScreenSaverService = QStringLiteral("org.freedesktop.ScreenSaver");

QDBusMessage portalInhibit() {
    QDBusMessage call =
        QDBusMessage::createMethodCall(kPortalService, "/org/freedesktop/portal/desktop",
                                       "org.freedesktop.portal.Inhibit", "Inhibit");
    call << QString() << (kInhibitSuspend | kInhibitIdle) << QVariantMap{{"reason", kReason}};
    return call;
}

QDBusMessage screenSaverInhibit() {
    QDBusMessage call = QDBusMessage::createMethodCall(
        kScreenSaverService, "/org/freedesktop/ScreenSaver", kScreenSaverService, "Inhibit");
    call << QStringLiteral("KelvoS") << kReason;
    return call;
}
} // namespace

SleepInhibitor::SleepInhibitor(QDBusConnection bus, QObject* parent)
    : QObject(parent), bus_(std::move(bus)) {}

SleepInhibitor::~SleepInhibitor() {
    wanted_ = false;
    release();
}

void SleepInhibitor::setHeld(bool held) {
    wanted_ = held;
    if (!held)
        return release();
    if (asking_ || !std::holds_alternative<std::monostate>(hold_))
        return;
    if (!bus_.isConnected())
        return tellOnce("no D-Bus session bus, so the screen may blank and the machine may "
                        "sleep during a run");
    ask(service_ == Service::Unknown ? Service::Portal : service_);
}

void SleepInhibitor::ask(Service service) {
    asking_ = true;
    const bool portal = service == Service::Portal;
    auto* watcher = new QDBusPendingCallWatcher(
        bus_.asyncCall(portal ? portalInhibit() : screenSaverInhibit(), kAnswerTimeoutMs), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this, [this, portal, service](auto* call) {
        call->deleteLater();
        asking_ = false;
        if (portal) {
            const QDBusPendingReply<QDBusObjectPath> reply = *call;
            reply.isError() ? refused(service, reply.error().message())
                            : granted(service, PortalHold{reply.value().path()});
        } else {
            const QDBusPendingReply<uint> reply = *call;
            reply.isError() ? refused(service, reply.error().message())
                            : granted(service, ScreenSaverHold{reply.value()});
        }
    });
}

void SleepInhibitor::granted(Service service, Hold hold) {
    service_ = service;
    hold_ = std::move(hold);
    if (!wanted_)
        release(); // the run ended while the desktop was answering
}

// The portal is asked first; a session without one (or without its Inhibit) is asked through
// the screen saver service, and from then on only there.
void SleepInhibitor::refused(Service service, const QString& error) {
    if (service == Service::Portal && service_ != Service::Portal) {
        service_ = Service::ScreenSaver;
        if (wanted_)
            ask(Service::ScreenSaver);
        return;
    }
    tellOnce("the desktop did not keep the screen on for the run: " + error);
}

void SleepInhibitor::release() {
    if (const auto* portal = std::get_if<PortalHold>(&hold_))
        bus_.send(QDBusMessage::createMethodCall(kPortalService, portal->request,
                                                 "org.freedesktop.portal.Request", "Close"));
    else if (const auto* screenSaver = std::get_if<ScreenSaverHold>(&hold_))
        bus_.send(QDBusMessage::createMethodCall(kScreenSaverService,
                                                 "/org/freedesktop/ScreenSaver",
                                                 kScreenSaverService, "UnInhibit")
                  << screenSaver->cookie);
    hold_ = std::monostate{};
}

void SleepInhibitor::tellOnce(const QString& message) {
    if (!std::exchange(told_, true))
        qWarning("kelvos: %s", qUtf8Printable(message));
}

} // namespace kelvos
