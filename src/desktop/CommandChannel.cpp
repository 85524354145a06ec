#include "CommandChannel.h"

#include <QDir>
#include <QFileInfo>
#include <QHash>
#include <QLocalServer>
#include <QLocalSocket>
#include <unistd.h>

namespace kelvos {

namespace {
constexpr int kProbeTimeoutMs = 1000;
constexpr qint64 kLongestRequest = 64; // a line longer than any command name is not one
} // namespace

QString commandSocketPath() {
    const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
    if (!runtime.isEmpty() && QFileInfo(runtime).isDir())
        return QDir(runtime).filePath("kelvos.command");
    return QDir(QDir::tempPath()).filePath(QString("kelvos-%1.command").arg(getuid()));
}

SendResult sendCommand(const QString& path, DesktopCommand command, int timeoutMs) {
    QLocalSocket socket;
    socket.connectToServer(path);
    if (!socket.waitForConnected(timeoutMs))
        return SendResult::NoInstance;
    socket.write(requestLine(command));
    if (!socket.waitForBytesWritten(timeoutMs))
        return SendResult::NoAnswer;
    while (!socket.canReadLine())
        if (!socket.waitForReadyRead(timeoutMs))
            return SendResult::NoAnswer;
    const auto done = answerOf(socket.readLine(kLongestRequest));
    if (!done)
        return SendResult::NoAnswer;
    return *done ? SendResult::Done : SendResult::Refused;
}

SendReport reportOf(SendResult result, DesktopCommand command) {
    const QString name = commandName(command);
    switch (result) {
    case SendResult::Done:
        return {0, {}};
    case SendResult::NoInstance:
        return {1,
                QString("kelvos: no KelvoS is running to take '%1'; start KelvoS first").arg(name)};
    case SendResult::Refused:
        return {3, QString("kelvos: KelvoS did not take '%1': the watch is in a state in which "
                           "it does nothing (as its button is switched off)")
                       .arg(name)};
    case SendResult::NoAnswer:
        break;
    }
    return {4, QString("kelvos: KelvoS did not answer '%1'").arg(name)};
}

// Lives on the server's thread: accepts connections, reads their lines, stamps each command
// and writes the answers.
class CommandServer::Receiver : public QObject {
public:
    Receiver(std::function<quint32()> clock, CommandServer& front)
        : clock_(std::move(clock)), front_(&front) {}

    Outcome listen(const QString& path, QString& error) {
        server_ = new QLocalServer(this);
        server_->setSocketOptions(QLocalServer::UserAccessOption);
        connect(server_, &QLocalServer::newConnection, this, &Receiver::accept);
        // A socket that answers belongs to a running watch; one that does not was left behind
        // by a watch that did not close, and is replaced.
        if (someoneAnswers(path))
            return Outcome::OtherInstance;
        QLocalServer::removeServer(path);
        if (server_->listen(path))
            return Outcome::Listening;
        error = server_->errorString();
        return Outcome::Failed;
    }

    void answer(quint64 connection, bool done) {
        if (QLocalSocket* socket = sockets_.value(connection))
            socket->write(answerLine(done));
    }

private:
    static bool someoneAnswers(const QString& path) {
        QLocalSocket probe;
        probe.connectToServer(path);
        return probe.waitForConnected(kProbeTimeoutMs);
    }

    void accept() {
        while (QLocalSocket* socket = server_->nextPendingConnection()) {
            const quint64 connection = ++lastConnection_;
            sockets_.insert(connection, socket);
            connect(socket, &QLocalSocket::readyRead, this,
                    [this, socket, connection] { read(*socket, connection); });
            connect(socket, &QLocalSocket::disconnected, this, [this, socket, connection] {
                sockets_.remove(connection);
                socket->deleteLater();
            });
        }
    }

    void read(QLocalSocket& socket, quint64 connection) {
        while (socket.canReadLine()) {
            const quint32 receivedAt = clock_();
            const QByteArray line = socket.readLine(kLongestRequest).trimmed();
            const auto command = commandNamed(QString::fromLatin1(line));
            if (!command) {
                socket.write(answerLine(false));
                continue;
            }
            QMetaObject::invokeMethod(
                front_,
                [front = front_, command = *command, receivedAt, connection] {
                    front->take(command, receivedAt, connection);
                },
                Qt::QueuedConnection);
        }
        if (socket.bytesAvailable() > kLongestRequest)
            socket.abort(); // not a sender of commands
    }

    std::function<quint32()> clock_;
    CommandServer* front_; // outlives the thread, which it stops before it goes
    QLocalServer* server_ = nullptr;
    QHash<quint64, QLocalSocket*> sockets_;
    quint64 lastConnection_ = 0;
};

CommandServer::CommandServer(std::function<quint32()> clock, Handler handler, QObject* parent)
    : QObject(parent), handler_(std::move(handler)),
      receiver_(new Receiver(std::move(clock), *this)) {
    thread_.setObjectName("kelvos-commands");
    receiver_->moveToThread(&thread_);
    connect(&thread_, &QThread::finished, receiver_, &QObject::deleteLater);
    thread_.start();
}

CommandServer::~CommandServer() {
    thread_.quit();
    thread_.wait();
}

CommandServer::Outcome CommandServer::listen(const QString& path) {
    Outcome outcome = Outcome::Failed;
    QMetaObject::invokeMethod(
        receiver_, [this, &path] { return receiver_->listen(path, error_); },
        Qt::BlockingQueuedConnection, &outcome);
    return outcome;
}

void CommandServer::take(DesktopCommand command, quint32 receivedAt, quint64 connection) {
    const bool done = handler_(command, receivedAt);
    QMetaObject::invokeMethod(
        receiver_, [receiver = receiver_, connection, done] { receiver->answer(connection, done); },
        Qt::QueuedConnection);
}

} // namespace kelvos
