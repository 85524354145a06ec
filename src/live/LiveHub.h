#pragma once

#include "BoardStations.h"
#include "EventLog.h"
#include "RequestGate.h"
#include "RunEvent.h"
#include "RunSnapshot.h"

#include <QElapsedTimer>
#include <QJsonObject>
#include <QObject>
#include <QTimer>
#include <atomic>
#include <functional>
#include <memory>
#include <mutex>

class QHttpServer;
class QHttpServerRequest;
class QWebSocket;

namespace kelvos {

class GatedTcpServer;
class RemoteDesk;

// The watch as the server reads it: the total and the press clock from any thread, the running
// flag set by the run's events on the UI thread.
class WatchReading {
public:
    void setTotal(std::function<qint32()> total);
    qint32 total() const;
    void setPressClock(std::function<quint32()> clock);
    quint32 pressClock() const;
    void setRunning(bool running) { running_.store(running, std::memory_order_relaxed); }
    bool running() const { return running_.load(std::memory_order_relaxed); }

private:
    mutable std::mutex mutex_;
    std::function<qint32()> total_;
    std::function<quint32()> pressClock_;
    std::atomic<bool> running_{false};
};

// Everything of the live server that lives on its thread: the listening socket, the HTTP
// server, the viewers' WebSockets, and the run as its events have built it.
class LiveHub : public QObject {
    Q_OBJECT

public:
    static constexpr int kPortTries = 20;
    static constexpr qint64 kMaxViewerBacklog = 4 * 1024 * 1024;
    static constexpr int kKeepAliveMs = 30000;
    static constexpr qint64 kSilentViewerMs = 75000;
    static constexpr quint64 kMaxClientMessage = 4096;

    LiveHub(QString session, std::shared_ptr<const WatchReading> watch, int maxViewers);
    ~LiveHub() override;

    // Listens from `port` on, at the first free one of the next few; false when none is free.
    bool listen(quint16 port, bool share);
    void setShare(bool share);
    quint16 port() const { return port_; }
    bool sharing() const { return share_; }

    void take(const RunEvent& event);
    RemoteDesk* remoteDesk() const { return remote_; }

    // The board: every station's run on the broker, when a broker feeds it (see BoardStations).
    void setBoardFed(bool fed) { boardFed_ = fed; }
    void takeBoardRun(const QString& station, const QByteArray& payload);

signals:
    void viewersChanged(int viewers);

private:
    struct Viewer {
        QWebSocket* socket = nullptr;
        QElapsedTimer heard;
        bool board = false; // on the board's socket, not the run's
    };

    bool bindGate(quint16 port, bool share);
    RequestVerdict judge(QByteArrayView head) const;
    void setUpRoutes();
    QJsonObject runJson() const;
    QByteArray runCsv() const;
    QJsonObject boardJson() const;
    void broadcast(const QString& message, bool toBoard);
    void admitViewers();
    void greet(Viewer& viewer);
    void answer(Viewer& viewer, const QString& message);
    bool send(Viewer& viewer, const QString& message);
    void drop(QWebSocket* socket);
    void keepAlive();
    Viewer* viewerOf(QWebSocket* socket);

    const QString session_;
    std::shared_ptr<const WatchReading> watch_;
    const int maxViewers_;
    std::unique_ptr<QHttpServer> http_;
    GatedTcpServer* gate_ = nullptr;
    quint16 port_ = 0;
    bool share_ = false;
    RunSnapshot snapshot_;
    EventLog log_;
    BoardStations board_;
    bool boardFed_ = false;
    std::vector<Viewer> viewers_;
    QTimer keepAlive_;
    RemoteDesk* remote_;
};

} // namespace kelvos
