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
class MillisecondClock;
class RunController;
class WatchReading;
struct RemotePress;
enum class RemoteAction;

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
        bool remote = false;          // remote timekeepers allowed
        bool remoteStartStop = false; // and they may start and stop the watch
    };
    // Carries out a remote press (a lap of competitor 1 to 3, a start or a stop) timed at a
    // press-clock reading, as the same command from the command line is; the return tells
    // whether the run took it.
    using RemoteCommand = std::function<bool(RemoteAction action, int competitor, quint32 reading)>;

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
    // Remote timekeepers' presses are timed on `pressClock` (the clock the run's events are
    // timed on) and carried out by `command`. Until this is called, none is taken.
    void acceptRemotePresses(const MillisecondClock& pressClock, RemoteCommand command);
    void setRemoteAllowed(bool allowed);
    bool remoteAllowed() const { return remote_; }
    // Whether remote timekeepers may start and stop the watch as well as press laps.
    void setRemoteStartStop(bool allowed);
    // A new pairing link: every device paired with the old one is let go at once.
    void newRemoteLink();
    // The link a device pairs with: the page's address with the token. Empty while remote
    // timekeepers are not allowed or the server does not listen.
    QUrl remoteLink() const;
    // The remote presses timed when they arrived, as the device's touch time was not plausible.
    int remotePressesAtArrival() const { return pressesAtArrival_; }

signals:
    void viewersChanged(int viewers);
    // The names of the remote timekeepers' devices connected now.
    void remoteDevicesChanged(const QStringList& names);
    // A new pairing link, or remote timekeepers allowed or no longer.
    void remoteLinkChanged();

private:
    void takeRemotePress(const RemotePress& press);
    void handTokenOver();
    void handStartStopOver();

    const QString session_;
    std::shared_ptr<WatchReading> watch_;
    QThread thread_;
    LiveHub* hub_ = nullptr;
    quint16 port_ = 0;
    bool share_ = false;
    RunController* run_ = nullptr;
    int listener_ = 0;
    bool remote_ = false;
    bool remoteStartStop_ = false;
    QByteArray token_;
    const MillisecondClock* pressClock_ = nullptr;
    RemoteCommand remoteCommand_;
    quint32 lastPress_ = 0; // the press clock at the run's latest start, lap or stop
    int pressesAtArrival_ = 0;
};

} // namespace kelvos
