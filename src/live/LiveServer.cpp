#include "LiveServer.h"

#include "LiveHub.h"
#include "RemoteAccess.h"
#include "RemoteDesk.h"
#include "RunController.h"

#include <QNetworkInterface>
#include <QRandomGenerator>

namespace kelvos {

namespace {

// A page that reconnects to a restarted program must not take its sequence numbers for the
// old ones.
QString newSession() {
    QRandomGenerator* random = QRandomGenerator::system();
    return QString::number(random->generate64(), 16).rightJustified(16, '0');
}

QUrl pageAddress(const QHostAddress& host, quint16 port) {
    QUrl url;
    url.setScheme("http");
    url.setHost(host.toString());
    url.setPort(port);
    url.setPath("/");
    return url;
}

const char* remoteActionName(RemoteAction action) {
    switch (action) {
    case RemoteAction::Start:
        return "start";
    case RemoteAction::Stop:
        return "stop";
    case RemoteAction::Lap:
        break;
    }
    return "lap";
}

} // namespace

LiveServer::LiveServer(QObject* parent)
    : QObject(parent), session_(newSession()), watch_(std::make_shared<WatchReading>()),
      token_(newRemoteToken()) {
    thread_.setObjectName("live results");
}

LiveServer::~LiveServer() {
    if (run_)
        run_->unsubscribe(listener_);
    if (hub_) {
        // The hub's sockets belong to its thread, so it ends there.
        QMetaObject::invokeMethod(
            hub_, [hub = hub_] { delete hub; }, Qt::BlockingQueuedConnection);
        thread_.quit();
        thread_.wait();
    }
}

bool LiveServer::start(Options options) {
    if (hub_ || options.port == 0)
        return false;
    hub_ = new LiveHub(session_, watch_, options.maxViewers);
    hub_->moveToThread(&thread_);
    connect(hub_, &LiveHub::viewersChanged, this, &LiveServer::viewersChanged);
    connect(hub_->remoteDesk(), &RemoteDesk::devicesChanged, this,
            &LiveServer::remoteDevicesChanged);
    connect(hub_->remoteDesk(), &RemoteDesk::pressed, this, &LiveServer::takeRemotePress);
    thread_.start();
    bool listening = false;
    QMetaObject::invokeMethod(
        hub_,
        [this, &listening, options] {
            listening = hub_->listen(options.port, options.share);
            port_ = hub_->port();
        },
        Qt::BlockingQueuedConnection);
    share_ = options.share;
    remote_ = options.remote;
    remoteStartStop_ = options.remoteStartStop;
    handTokenOver();
    handStartStopOver();
    return listening;
}

void LiveServer::setShare(bool share) {
    if (!hub_ || share == share_)
        return;
    QMetaObject::invokeMethod(
        hub_,
        [this, share] {
            hub_->setShare(share);
            port_ = hub_->port();
        },
        Qt::BlockingQueuedConnection);
    share_ = share;
}

QList<QUrl> LiveServer::addresses() const {
    if (port_ == 0)
        return {};
    if (!share_)
        return {pageAddress(QHostAddress::LocalHost, port_)};
    QList<QUrl> urls;
    for (const QHostAddress& address : QNetworkInterface::allAddresses()) {
        if (!address.isLoopback() && !address.isLinkLocal() &&
            address.protocol() == QAbstractSocket::IPv4Protocol)
            urls.append(pageAddress(address, port_));
    }
    return urls;
}

void LiveServer::setWatchTotal(std::function<qint32()> total) {
    watch_->setTotal(std::move(total));
}

void LiveServer::subscribe(RunController& run) {
    setWatchTotal([&run] { return run.stopWatch().GetElapsed(); });
    run_ = &run;
    listener_ = run.subscribe([this](const RunEvent& event) { publish(event); });
}

void LiveServer::publish(const RunEvent& event) {
    watch_->setRunning(event.state == RunState::Running);
    // The run's events are told inside the press that made them, so the press clock reads the
    // press here.
    const bool press = event.kind == RunEventKind::Started ||
                       event.kind == RunEventKind::Restarted || event.kind == RunEventKind::Lap ||
                       event.kind == RunEventKind::Stopped;
    if (press && pressClock_)
        lastPress_ = pressClock_->now();
    if (port_ == 0)
        return;
    QMetaObject::invokeMethod(
        hub_, [hub = hub_, event] { hub->take(event); }, Qt::QueuedConnection);
}

void LiveServer::feedBoard() {
    if (!hub_)
        return;
    QMetaObject::invokeMethod(
        hub_, [hub = hub_] { hub->setBoardFed(true); }, Qt::QueuedConnection);
}

// hub_ is set before any broker is linked and stays until the server goes.
void LiveServer::takeBoardRun(const QString& station, const QByteArray& payload) {
    if (!hub_)
        return;
    QMetaObject::invokeMethod(
        hub_, [hub = hub_, station, payload] { hub->takeBoardRun(station, payload); },
        Qt::QueuedConnection);
}

void LiveServer::acceptRemotePresses(const MillisecondClock& pressClock, RemoteCommand command) {
    pressClock_ = &pressClock;
    remoteCommand_ = std::move(command);
    watch_->setPressClock([&pressClock] { return pressClock.now(); });
}

void LiveServer::setRemoteAllowed(bool allowed) {
    remote_ = allowed;
    handTokenOver();
    emit remoteLinkChanged();
}

void LiveServer::setRemoteStartStop(bool allowed) {
    remoteStartStop_ = allowed;
    handStartStopOver();
}

void LiveServer::handStartStopOver() {
    if (!hub_)
        return;
    QMetaObject::invokeMethod(
        hub_,
        [hub = hub_, allowed = remoteStartStop_] { hub->remoteDesk()->setStartStop(allowed); },
        Qt::QueuedConnection);
}

void LiveServer::newRemoteLink() {
    token_ = newRemoteToken();
    handTokenOver();
    emit remoteLinkChanged();
}

QUrl LiveServer::remoteLink() const {
    const QList<QUrl> pages = addresses();
    if (!remote_ || pages.isEmpty())
        return {};
    QUrl link = pages.first().resolved(QUrl("remote"));
    link.setFragment("token=" + QString::fromLatin1(token_));
    return link;
}

// The hub holds the token only while remote timekeepers are allowed; without it the remote
// page and socket are not served.
void LiveServer::handTokenOver() {
    if (!hub_)
        return;
    QMetaObject::invokeMethod(
        hub_,
        [hub = hub_, token = remote_ ? token_ : QByteArray()] {
            hub->remoteDesk()->setToken(token);
        },
        Qt::BlockingQueuedConnection);
}

// Timed at the device's touch when that is plausible, and carried out through the same gate as
// a lap from the command line.
void LiveServer::takeRemotePress(const RemotePress& press) {
    bool done = false;
    bool atArrival = false;
    if (remoteCommand_ && pressClock_) {
        const RemotePressTime time =
            remotePressTime(press.touched, lastPress_, press.arrived, pressClock_->now());
        done = remoteCommand_(press.action, press.competitor, time.reading);
        atArrival = time.atArrival;
        if (done && atArrival)
            qWarning("kelvos: a remote %s from '%s' was timed at its arrival (%d so far)",
                     remoteActionName(press.action), qUtf8Printable(press.deviceName),
                     ++pressesAtArrival_);
    }
    QMetaObject::invokeMethod(
        hub_,
        [hub = hub_, device = press.device, id = press.id, done, atArrival] {
            hub->remoteDesk()->answer(device, id, done, atArrival);
        },
        Qt::QueuedConnection);
}

} // namespace kelvos
