#include "RemoteDesk.h"

#include "LiveHub.h"
#include "RemoteAccess.h"

#include <QJsonDocument>
#include <QUrlQuery>
#include <QWebSocket>
#include <cmath>

namespace kelvos {

namespace {

// A touch time the page sent, when it is a reading of the press clock.
std::optional<quint32> clockReading(const QJsonValue& value) {
    const double reading = value.toDouble(-1);
    if (!value.isDouble() || !std::isfinite(reading) || reading < 0 || reading > 0xffffffffu)
        return std::nullopt;
    return quint32(std::llround(reading));
}

QString shownName(const QString& name) {
    return name.isEmpty() ? QStringLiteral("(no name yet)") : name;
}

} // namespace

RemoteDesk::RemoteDesk(std::shared_ptr<const WatchReading> watch, QObject* parent)
    : QObject(parent), watch_(std::move(watch)), silence_(this) {
    connect(&silence_, &QTimer::timeout, this, &RemoteDesk::dropSilent);
    silence_.start(kSilentDeviceMs / 3);
}

RemoteDesk::~RemoteDesk() = default;

void RemoteDesk::setToken(QByteArray token) {
    if (token == token_)
        return;
    token_ = std::move(token);
    dropAll();
}

void RemoteDesk::setStartStop(bool allowed) {
    if (allowed == startStop_)
        return;
    startStop_ = allowed;
    for (Device& device : devices_)
        send(device, {{"type", "controls"}, {"startStop", startStop_}});
}

void RemoteDesk::admit(QWebSocket* socket) {
    const QByteArray given =
        QUrlQuery(socket->requestUrl()).queryItemValue("token", QUrl::FullyDecoded).toUtf8();
    if (!tokenMatches(token_, given)) {
        socket->close(QWebSocketProtocol::CloseCodePolicyViolated, QStringLiteral("not paired"));
        socket->deleteLater();
        return;
    }
    if (int(devices_.size()) >= kMostDevices) {
        socket->close(QWebSocketProtocol::CloseCodeTooMuchData, QStringLiteral("too many devices"));
        socket->deleteLater();
        return;
    }
    socket->setParent(this);
    socket->setMaxAllowedIncomingMessageSize(kMaxDeviceMessage);
    socket->setMaxAllowedIncomingFrameSize(kMaxDeviceMessage);
    devices_.push_back({socket, ++lastDevice_, {}, {}});
    devices_.back().heard.start();
    connect(socket, &QWebSocket::textMessageReceived, this, [this, socket](const QString& message) {
        if (Device* device = deviceOf(socket))
            take(*device, message.toUtf8());
    });
    // Queued: a device must not go from the list while it is being walked.
    connect(
        socket, &QWebSocket::disconnected, this, [this, socket] { drop(socket); },
        Qt::QueuedConnection);
    send(devices_.back(), {{"type", "welcome"}, {"startStop", startStop_}});
    tellDevices();
}

// A device names itself, asks for the clock, presses a lap, or starts or stops the watch (told
// "not done" unless the operator allows it); anything else is ignored.
void RemoteDesk::take(Device& device, const QByteArray& message) {
    device.heard.restart();
    const QJsonObject object = QJsonDocument::fromJson(message).object();
    const QString type = object.value("type").toString();
    if (type == "sync" && object.value("t").isDouble()) {
        send(device, {{"type", "sync"},
                      {"t", object.value("t")},
                      {"clock", double(watch_->pressClock())},
                      {"total", watch_->total()},
                      {"running", watch_->running()}});
    } else if (type == "name") {
        device.name = object.value("name").toString().simplified().left(kLongestName);
        tellDevices();
    } else if (type == "lap") {
        const int competitor = object.value("competitor").toInt();
        if (competitor < 1 || competitor > 3)
            return;
        emit pressed({device.id, object.value("id").toDouble(), RemoteAction::Lap, competitor,
                      clockReading(object.value("at")), watch_->pressClock(), device.name});
    } else if (type == "start" || type == "stop") {
        const double id = object.value("id").toDouble();
        if (!startStop_) {
            answer(device.id, id, false, false);
            return;
        }
        emit pressed({device.id, id, type == "start" ? RemoteAction::Start : RemoteAction::Stop, 1,
                      clockReading(object.value("at")), watch_->pressClock(), device.name});
    }
}

void RemoteDesk::answer(quint64 device, double id, bool done, bool atArrival) {
    const auto found = std::find_if(devices_.begin(), devices_.end(),
                                    [device](const Device& d) { return d.id == device; });
    if (found != devices_.end())
        send(*found, {{"type", "pressed"}, {"id", id}, {"done", done}, {"atArrival", atArrival}});
}

void RemoteDesk::send(Device& device, const QJsonObject& message) {
    device.socket->sendTextMessage(
        QString::fromUtf8(QJsonDocument(message).toJson(QJsonDocument::Compact)));
}

void RemoteDesk::drop(QWebSocket* socket) {
    const Device* device = deviceOf(socket);
    if (!device)
        return;
    devices_.erase(devices_.begin() + (device - devices_.data()));
    socket->disconnect(this);
    socket->abort();
    socket->deleteLater();
    tellDevices();
}

// A new link, or remote timekeepers no longer allowed: every device paired before goes at once.
void RemoteDesk::dropAll() {
    for (const Device& device : devices_) {
        device.socket->disconnect(this);
        device.socket->close(QWebSocketProtocol::CloseCodePolicyViolated,
                             QStringLiteral("not paired"));
        device.socket->deleteLater();
    }
    devices_.clear();
    tellDevices();
}

void RemoteDesk::letOutsideGo() {
    dropWhere([](const Device& device) { return !device.socket->peerAddress().isLoopback(); });
}

void RemoteDesk::dropSilent() {
    dropWhere([](const Device& device) { return device.heard.elapsed() > kSilentDeviceMs; });
}

void RemoteDesk::dropWhere(const std::function<bool(const Device&)>& condition) {
    std::vector<QWebSocket*> chosen;
    for (const Device& device : devices_) {
        if (condition(device))
            chosen.push_back(device.socket);
    }
    for (QWebSocket* socket : chosen)
        drop(socket);
}

RemoteDesk::Device* RemoteDesk::deviceOf(QWebSocket* socket) {
    const auto it = std::find_if(devices_.begin(), devices_.end(), [socket](const Device& device) {
        return device.socket == socket;
    });
    return it == devices_.end() ? nullptr : &*it;
}

void RemoteDesk::tellDevices() {
    QStringList names;
    for (const Device& device : devices_)
        names << shownName(device.name);
    emit devicesChanged(names);
}

} // namespace kelvos
