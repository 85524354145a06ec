#include "LiveServer.h"

#include "LiveHub.h"
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

} // namespace

LiveServer::LiveServer(QObject* parent)
    : QObject(parent), session_(newSession()), watch_(std::make_shared<WatchReading>()) {
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

} // namespace kelvos
