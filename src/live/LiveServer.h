#pragma once

#include "RunEvent.h"

#include <QList>
#include <QObject>
#include <QThread>
#include <QUrl>
#include <functional>
#include <memory>

namespace kelvos {

class LiveHub;
class RunController;
class WatchReading;

// The live results: the run's pages, its figures as JSON and CSV, and its events as they
// happen over a WebSocket, served on a thread of its own. The UI thread's part is one queued
// hand-over per event, whatever the number of viewers. See docs/live.md.
class LiveServer : public QObject {
    Q_OBJECT

public:
    struct Options {
        quint16 port = 8765; // the first port tried; 0: no server
        bool share = false;  // every interface instead of this computer's loopback only
        int maxViewers = 256;
    };

    explicit LiveServer(QObject* parent = nullptr);
    ~LiveServer() override;

    // Listens on the port or, when it is taken, the first free one of the next few. False when
    // none was free or the port is 0.
    bool start(Options options);
    // Listens again, on the same port, on this computer's loopback or on every interface.
    void setShare(bool share);
    bool sharing() const { return share_; }
    // Where viewers reach the server: the loopback, or this computer's network addresses when
    // shared. Empty while not listening.
    QList<QUrl> addresses() const;
    quint16 port() const { return port_; }
    QString session() const { return session_; }

    // The watch's total, read on the server thread whenever a viewer asks.
    void setWatchTotal(std::function<qint32()> total);
    // Publishes the run's events and reads its watch, until this server is destroyed.
    void subscribe(RunController& run);
    // On the UI thread, in the order of the events.
    void publish(const RunEvent& event);

    // The board shows every station's run from the broker: told once the broker feeds it.
    void feedBoard();
    // One station's retained run as the broker sent it (empty: removed), from any thread; the
    // server's thread reads it.
    void takeBoardRun(const QString& station, const QByteArray& payload);

signals:
    void viewersChanged(int viewers);

private:
    const QString session_;
    std::shared_ptr<WatchReading> watch_;
    QThread thread_;
    LiveHub* hub_ = nullptr;
    quint16 port_ = 0;
    bool share_ = false;
    RunController* run_ = nullptr;
    int listener_ = 0;
};

} // namespace kelvos
