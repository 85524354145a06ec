#include "LiveHub.h"

#include "CellStore.h"
#include "CsvFile.h"
#include "GatedTcpServer.h"
#include "RemoteDesk.h"
#include "RunEventJson.h"

#include <QDateTime>
#include <QFile>
#include <QHttpServer>
#include <QJsonDocument>
#include <QUrlQuery>
#include <QWebSocket>

namespace kelvos {

namespace {

QString compact(const QJsonObject& object) {
    return QString::fromUtf8(QJsonDocument(object).toJson(QJsonDocument::Compact));
}

QHttpServerResponse notFound() {
    return QHttpServerResponse("text/plain; charset=utf-8", "Not Found\n",
                               QHttpServerResponse::StatusCode::NotFound);
}

} // namespace

void WatchReading::setTotal(std::function<qint32()> total) {
    const std::lock_guard lock(mutex_);
    total_ = std::move(total);
}

qint32 WatchReading::total() const {
    const std::lock_guard lock(mutex_);
    return total_ ? total_() : 0;
}

void WatchReading::setPressClock(std::function<quint32()> clock) {
    const std::lock_guard lock(mutex_);
    pressClock_ = std::move(clock);
}

quint32 WatchReading::pressClock() const {
    const std::lock_guard lock(mutex_);
    return pressClock_ ? pressClock_() : 0;
}

LiveHub::LiveHub(QString session, std::shared_ptr<const WatchReading> watch, int maxViewers)
    : session_(std::move(session)), watch_(std::move(watch)), maxViewers_(maxViewers),
      keepAlive_(this), remote_(new RemoteDesk(watch_, this)) {
    connect(&keepAlive_, &QTimer::timeout, this, &LiveHub::keepAlive);
}

LiveHub::~LiveHub() = default;

bool LiveHub::listen(quint16 port, bool share) {
    http_ = std::make_unique<QHttpServer>();
    setUpRoutes();
    connect(http_.get(), &QHttpServer::newWebSocketConnection, this, &LiveHub::admitViewers);
    keepAlive_.start(kKeepAliveMs);
    return bindGate(port, share);
}

bool LiveHub::bindGate(quint16 port, bool share) {
    auto gate =
        std::make_unique<GatedTcpServer>([this](QByteArrayView head) { return judge(head); });
    const QHostAddress address = share ? QHostAddress::Any : QHostAddress::LocalHost;
    // The port asked for first, so that viewers find the server where it was last time.
    for (int offset = 0; offset < kPortTries && port + offset <= 0xffff; ++offset) {
        if (gate->listen(address, quint16(port + offset))) {
            if (gate_)
                gate_->close(); // its connections stay: they are its children
            gate_ = gate.release();
            http_->bind(gate_);
            port_ = gate_->serverPort();
            share_ = share;
            return true;
        }
    }
    return false;
}

void LiveHub::setShare(bool share) {
    if (!http_ || share == share_)
        return;
    if (gate_)
        gate_->close(); // the same port for the new address
    if (!bindGate(port_, share))
        qWarning("kelvos: the live results server could not listen again on port %u", port_);
    if (share)
        return;
    // Viewers from elsewhere were let in while the server was shared.
    std::vector<QWebSocket*> outside;
    for (const Viewer& viewer : viewers_) {
        if (!viewer.socket->peerAddress().isLoopback())
            outside.push_back(viewer.socket);
    }
    for (QWebSocket* socket : outside)
        drop(socket);
    remote_->letOutsideGo();
}

RequestVerdict LiveHub::judge(QByteArrayView head) const {
    RequestVerdict verdict = judgeRequestHead(head, !share_);
    if (verdict.status == 0 && verdict.route && verdict.route->isRemote() && !remote_->open())
        verdict.status = 404;
    const bool viewer = verdict.route && verdict.route->kind == LiveRoute::Kind::Events;
    if (verdict.status == 0 && viewer && int(viewers_.size()) >= maxViewers_)
        verdict.status = 503;
    return verdict;
}

void LiveHub::setUpRoutes() {
    // The socket is taken over by the WebSocket server as long as this route writes nothing.
    http_->route("/events", [](const QHttpServerRequest&, QHttpServerResponder&&) {});
    http_->route("/board-events", [](const QHttpServerRequest&, QHttpServerResponder&&) {});
    http_->route("/remote-events", [](const QHttpServerRequest&, QHttpServerResponder&&) {});
    const auto serve = [this](const QHttpServerRequest& request) {
        const std::optional<LiveRoute> route = liveRoute(request.url().path().toUtf8());
        if (!route)
            return notFound();
        switch (route->kind) {
        case LiveRoute::Kind::RunJson:
            return QHttpServerResponse(runJson());
        case LiveRoute::Kind::RunCsv:
            return QHttpServerResponse(contentTypeFor(u"run.csv"), runCsv());
        case LiveRoute::Kind::BoardJson:
            return QHttpServerResponse(boardJson());
        case LiveRoute::Kind::Resource:
        case LiveRoute::Kind::RemotePage:
        case LiveRoute::Kind::Events:
        case LiveRoute::Kind::RemoteEvents:
            break;
        }
        QFile file(route->resource);
        if (route->resource.isEmpty() || !file.open(QIODevice::ReadOnly))
            return notFound();
        return QHttpServerResponse(contentTypeFor(route->resource), file.readAll());
    };
    http_->route("/", serve);
    http_->route("/<arg>", [serve](const QString&, const QHttpServerRequest& request) {
        return serve(request);
    });
    http_->afterRequest([](QHttpServerResponse&& response, const QHttpServerRequest& request) {
        for (const auto& [name, value] : GatedTcpServer::safetyHeaders(request.value("Host")))
            response.setHeader(name, value);
        return std::move(response);
    });
}

QJsonObject LiveHub::runJson() const {
    QJsonObject run = snapshot_.toJson();
    run.insert("session", session_);
    run.insert("total", watch_->total());
    return run;
}

// The Mix rows as the program's own Mix file holds them.
QByteArray LiveHub::runCsv() const {
    const QList<QStringList>& rows = snapshot_.mixRows();
    CellStore store(int(rows.size()) + 1, kLapColumnCount);
    for (int row = 0; row < rows.size(); ++row)
        store.setRow(row + 1, rows[row]);
    return csvFileBytes(store, int(rows.size()));
}

QJsonObject LiveHub::boardJson() const {
    return {{"broker", boardFed_}, {"stations", board_.toJson()}};
}

void LiveHub::take(const RunEvent& event) {
    snapshot_.apply(event);
    const QString json = compact(runEventToJson(event));
    log_.append(event.sequence, json);
    broadcast(json, false);
}

void LiveHub::takeBoardRun(const QString& station, const QByteArray& payload) {
    switch (board_.take(station, payload)) {
    case BoardStations::Change::None:
        return;
    case BoardStations::Change::Updated: {
        QJsonObject message = board_.stationJson(station);
        message.insert("type", "station");
        return broadcast(compact(message), true);
    }
    case BoardStations::Change::Removed:
        return broadcast(compact({{"type", "removed"}, {"station", station}}), true);
    }
}

void LiveHub::broadcast(const QString& message, bool toBoard) {
    std::vector<QWebSocket*> overflowing;
    for (Viewer& viewer : viewers_) {
        if (viewer.board == toBoard && !send(viewer, message))
            overflowing.push_back(viewer.socket);
    }
    for (QWebSocket* socket : overflowing)
        drop(socket);
}

void LiveHub::admitViewers() {
    while (http_->hasPendingWebSocketConnections()) {
        QWebSocket* socket = http_->nextPendingWebSocketConnection().release();
        if (socket->requestUrl().path() == "/remote-events") {
            remote_->admit(socket);
            continue;
        }
        if (int(viewers_.size()) >= maxViewers_) {
            socket->close(QWebSocketProtocol::CloseCodeTooMuchData, "Too many viewers");
            socket->deleteLater();
            continue;
        }
        socket->setParent(this);
        socket->setMaxAllowedIncomingMessageSize(kMaxClientMessage);
        socket->setMaxAllowedIncomingFrameSize(kMaxClientMessage);
        viewers_.push_back({socket, {}, socket->requestUrl().path() == "/board-events"});
        viewers_.back().heard.start();
        connect(socket, &QWebSocket::textMessageReceived, this,
                [this, socket](const QString& message) {
                    if (Viewer* viewer = viewerOf(socket))
                        answer(*viewer, message);
                });
        connect(socket, &QWebSocket::pong, this, [this, socket] {
            if (Viewer* viewer = viewerOf(socket))
                viewer->heard.restart();
        });
        // Queued: a send that finds the connection gone must not change the viewers while they
        // are being walked.
        connect(
            socket, &QWebSocket::disconnected, this, [this, socket] { drop(socket); },
            Qt::QueuedConnection);
        greet(viewers_.back());
    }
    emit viewersChanged(int(viewers_.size()));
}

// A viewer that comes back within this session is sent only what it missed, when every
// such event is still held; otherwise the whole run.
void LiveHub::greet(Viewer& viewer) {
    if (viewer.board) {
        QJsonObject board = boardJson();
        board.insert("type", "board");
        if (!send(viewer, compact(board)))
            drop(viewer.socket);
        return;
    }
    const QUrlQuery query(viewer.socket->requestUrl());
    bool known = false;
    const quint64 since = query.queryItemValue("since").toULongLong(&known);
    if (known && query.queryItemValue("session") == session_) {
        if (const std::optional<QList<QString>> missed = log_.after(since)) {
            for (const QString& event : *missed) {
                if (!send(viewer, event))
                    return drop(viewer.socket);
            }
            return;
        }
    }
    const QJsonObject snapshot{{"type", "snapshot"}, {"session", session_}, {"run", runJson()}};
    if (!send(viewer, compact(snapshot)))
        drop(viewer.socket);
}

// The one thing a viewer may ask: the watch's total now, to tick its own clock from, and this
// computer's clock, to tick the board's stations from the time of their last event.
void LiveHub::answer(Viewer& viewer, const QString& message) {
    viewer.heard.restart();
    const QJsonObject ping = QJsonDocument::fromJson(message.toUtf8()).object();
    if (ping.value("type") != "ping" || !ping.value("t").isDouble())
        return;
    const QJsonObject pong{{"type", "pong"},
                           {"t", ping.value("t")},
                           {"total", watch_->total()},
                           {"running", watch_->running()},
                           {"now", QDateTime::currentMSecsSinceEpoch()}};
    if (!send(viewer, compact(pong)))
        drop(viewer.socket);
}

// A viewer that does not take its messages in is dropped, never waited for.
bool LiveHub::send(Viewer& viewer, const QString& message) {
    if (viewer.socket->bytesToWrite() > kMaxViewerBacklog)
        return false;
    viewer.socket->sendTextMessage(message);
    return true;
}

void LiveHub::drop(QWebSocket* socket) {
    const Viewer* viewer = viewerOf(socket);
    if (!viewer)
        return;
    viewers_.erase(viewers_.begin() + (viewer - viewers_.data()));
    socket->disconnect(this);
    socket->abort();
    socket->deleteLater();
    emit viewersChanged(int(viewers_.size()));
}

// Browsers answer a ping by themselves: a viewer that has been silent through a few of them
// has gone without closing.
void LiveHub::keepAlive() {
    std::vector<QWebSocket*> silent;
    for (Viewer& viewer : viewers_) {
        if (viewer.heard.elapsed() > kSilentViewerMs)
            silent.push_back(viewer.socket);
        else
            viewer.socket->ping();
    }
    for (QWebSocket* socket : silent)
        drop(socket);
}

LiveHub::Viewer* LiveHub::viewerOf(QWebSocket* socket) {
    const auto it = std::find_if(viewers_.begin(), viewers_.end(), [socket](const Viewer& viewer) {
        return viewer.socket == socket;
    });
    return it == viewers_.end() ? nullptr : &*it;
}

} // namespace kelvos
