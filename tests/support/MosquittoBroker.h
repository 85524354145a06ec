#pragma once

#include <QDeadlineTimer>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QThread>
#include <arpa/inet.h>
#include <netinet/in.h>
#include <pwd.h>
#include <sys/socket.h>
#include <unistd.h>

// A real mosquitto of the caller's own on the loopback, for tests and benchmarks.
namespace testbroker {

// A port nobody listens on now: the system's pick for a socket bound to port 0.
inline int freePort() {
    const int socket = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    ::bind(socket, reinterpret_cast<sockaddr*>(&address), sizeof address);
    ::getsockname(socket, reinterpret_cast<sockaddr*>(&address), &length);
    ::close(socket);
    return ntohs(address.sin_port);
}

inline bool listening(int port) {
    const int socket = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(quint16(port));
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    const bool open = ::connect(socket, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0;
    ::close(socket);
    return open;
}

// Keeps its sessions on disk, so that a subscriber's messages survive a restart of the broker.
class MosquittoBroker {
public:
    static constexpr int kWaitMs = 15000;

    MosquittoBroker() : port_(freePort()) {
        // Started by root, mosquitto would become another user, who may not write here.
        QFile config(dir_.filePath("mosquitto.conf"));
        config.open(QIODevice::WriteOnly);
        config.write(QString("listener %1 127.0.0.1\nallow_anonymous true\npersistence true\n"
                             "persistence_location %2/\nuser %3\n")
                         .arg(port_)
                         .arg(dir_.path(), QString::fromLocal8Bit(getpwuid(getuid())->pw_name))
                         .toUtf8());
    }
    ~MosquittoBroker() { stop(); }

    int port() const { return port_; }
    // True once the broker takes connections.
    bool start() {
        process_.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        process_.start(QStandardPaths::findExecutable("mosquitto", {"/usr/sbin", "/usr/bin"}),
                       {"-c", dir_.filePath("mosquitto.conf")});
        if (!process_.waitForStarted())
            return false;
        const QDeadlineTimer deadline(kWaitMs);
        while (!listening(port_)) {
            if (deadline.hasExpired() || process_.state() == QProcess::NotRunning)
                return false;
            QThread::msleep(20);
        }
        return true;
    }
    // As a service manager stops it: it writes its sessions away first.
    void stop() {
        if (process_.state() == QProcess::NotRunning)
            return;
        process_.terminate();
        process_.waitForFinished(kWaitMs);
    }

private:
    QTemporaryDir dir_;
    int port_;
    QProcess process_;
};

} // namespace testbroker
