#include "CommandChannel.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSocketNotifier>
#include <algorithm>
#include <cerrno>
#include <cstring>
#include <memory>
#include <optional>
#include <poll.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>
#include <unordered_map>
#include <utility>

namespace kelvos {

namespace {
constexpr int kProbeTimeoutMs = 1000;
constexpr qsizetype kLongestRequest = 64; // a line longer than any command name is not one
constexpr qsizetype kLongestPath = sizeof(sockaddr_un::sun_path) - 1; // room for the NUL

// A file descriptor, closed when it goes.
class Descriptor {
public:
    Descriptor() = default;
    explicit Descriptor(int fd) : fd_(fd) {}
    Descriptor(Descriptor&& other) noexcept : fd_(std::exchange(other.fd_, -1)) {}
    ~Descriptor() {
        if (fd_ >= 0)
            ::close(fd_);
    }
    int get() const { return fd_; }
    bool valid() const { return fd_ >= 0; }

private:
    int fd_ = -1;
};

// Repeats a system call that a signal interrupted.
template <typename Call> auto uninterrupted(Call call) {
    decltype(call()) result;
    do
        result = call();
    while (result < 0 && errno == EINTR);
    return result;
}

std::optional<sockaddr_un> socketAddress(const QString& path) {
    const QByteArray name = QFile::encodeName(path);
    if (name.isEmpty() || name.size() > kLongestPath)
        return std::nullopt;
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::memcpy(address.sun_path, name.constData(), name.size());
    return address;
}

const sockaddr* asSockaddr(const sockaddr_un& address) {
    return reinterpret_cast<const sockaddr*>(&address);
}

// Waits until `fd` is ready for `events` (or hung up, which the next call on it reports)
// or the deadline passes.
bool waitFor(int fd, short events, QDeadlineTimer deadline) {
    pollfd entry{fd, events, 0};
    for (;;) {
        const int ready = ::poll(&entry, 1, int(deadline.remainingTime()));
        if (ready > 0)
            return true;
        if (ready == 0 || errno != EINTR)
            return false;
    }
}

// The socket's send timeout, which also bounds how long connect() waits for a listener's
// full queue of connections: a local socket's connect cannot be polled for. A zero timeout
// would mean none, so what is left of the deadline is at least a microsecond.
void boundSendingBy(int fd, QDeadlineTimer deadline) {
    timeval wait{};
    if (!deadline.isForever()) {
        const qint64 us = std::max<qint64>(deadline.remainingTimeNSecs() / 1000, 1);
        wait = {time_t(us / 1000000), suseconds_t(us % 1000000)};
    }
    ::setsockopt(fd, SOL_SOCKET, SO_SNDTIMEO, &wait, sizeof wait);
}

// A connection to a watch's socket, or why there is none.
struct Reached {
    Descriptor socket; // valid when connected
    bool busy = false; // a watch listens, but did not take the connection before the deadline
};

Reached reach(const sockaddr_un& address, QDeadlineTimer deadline) {
    Descriptor socket(::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0));
    if (!socket.valid())
        return {};
    for (;;) {
        boundSendingBy(socket.get(), deadline);
        if (::connect(socket.get(), asSockaddr(address), sizeof address) == 0)
            return {std::move(socket)};
        if (errno == EINTR && !deadline.hasExpired())
            continue;
        return {Descriptor(), errno == EAGAIN || errno == EINPROGRESS || errno == EINTR};
    }
}

bool writeAll(int fd, QByteArrayView data, QDeadlineTimer deadline) {
    while (!data.isEmpty()) {
        if (!waitFor(fd, POLLOUT, deadline))
            return false;
        const ssize_t sent = uninterrupted(
            [&] { return ::send(fd, data.data(), data.size(), MSG_NOSIGNAL | MSG_DONTWAIT); });
        if (sent < 0 && errno != EAGAIN)
            return false;
        data = data.sliced(std::max<ssize_t>(sent, 0));
    }
    return true;
}

// The first line `fd` brings before the deadline, without its newline.
std::optional<QByteArray> readLine(int fd, QDeadlineTimer deadline) {
    QByteArray read;
    qsizetype end;
    while ((end = read.indexOf('\n')) < 0) {
        if (read.size() > kLongestRequest || !waitFor(fd, POLLIN, deadline))
            return std::nullopt;
        char chunk[kLongestRequest + 1];
        const ssize_t got =
            uninterrupted([&] { return ::recv(fd, chunk, sizeof chunk, MSG_DONTWAIT); });
        if (got == 0 || (got < 0 && errno != EAGAIN))
            return std::nullopt;
        read.append(chunk, std::max<ssize_t>(got, 0));
    }
    return read.first(end);
}

QString cannotListen(const QString& path, const QString& reason) {
    return QString("cannot listen at '%1': %2").arg(path, reason);
}

// A socket and the notifier that tells when it can be read (a connection comes, a line
// comes, the sender goes). The notifier is switched off before the socket closes, and
// deleted later, as it may be the one whose signal lets the socket go.
class WatchedSocket {
public:
    WatchedSocket(Descriptor socket, QObject* owner, std::function<void()> readable)
        : socket_(std::move(socket)),
          readable_(new QSocketNotifier(socket_.get(), QSocketNotifier::Read, owner)) {
        QObject::connect(readable_, &QSocketNotifier::activated, owner, std::move(readable));
    }
    WatchedSocket(const WatchedSocket&) = delete;
    WatchedSocket& operator=(const WatchedSocket&) = delete;
    ~WatchedSocket() {
        readable_->setEnabled(false);
        readable_->deleteLater();
    }
    int fd() const { return socket_.get(); }

private:
    Descriptor socket_;
    QSocketNotifier* readable_;
};

// A sender's connection and the start of a line still coming on it.
struct Connection {
    WatchedSocket socket;
    QByteArray unread;
};
} // namespace

QString commandSocketPath() {
    const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
    if (!runtime.isEmpty() && QFileInfo(runtime).isDir())
        return QDir(runtime).filePath("kelvos.command");
    return QDir(QDir::tempPath()).filePath(QString("kelvos-%1.command").arg(getuid()));
}

// Each step (connecting, writing the request, reading the answer) gets `timeoutMs`.
SendResult sendCommand(const QString& path, DesktopCommand command, int timeoutMs) {
    const auto address = socketAddress(path);
    if (!address)
        return SendResult::NoInstance; // no socket can be there
    const Reached watch = reach(*address, QDeadlineTimer(timeoutMs));
    if (!watch.socket.valid())
        return watch.busy ? SendResult::NoAnswer : SendResult::NoInstance;
    const int fd = watch.socket.get();
    if (!writeAll(fd, requestLine(command), QDeadlineTimer(timeoutMs)))
        return SendResult::NoAnswer;
    const auto line = readLine(fd, QDeadlineTimer(timeoutMs));
    const auto done = line ? answerOf(*line) : std::nullopt;
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
    ~Receiver() override { removeSocketFile(); }

    Outcome listen(const QString& path, QString& error) {
        const auto address = socketAddress(path);
        if (!address) {
            error = cannotListen(
                path,
                QString("the path of a local socket must have 1 to %1 bytes").arg(kLongestPath));
            return Outcome::Failed;
        }
        // A socket that answers belongs to a running watch; one that does not was left behind
        // by a watch that did not close, and is replaced.
        if (someoneAnswers(*address))
            return Outcome::OtherInstance;
        ::unlink(address->sun_path);
        Descriptor socket(::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0));
        if (!socket.valid() || ::bind(socket.get(), asSockaddr(*address), sizeof *address) != 0) {
            error = cannotListen(path, qt_error_string(errno));
            return Outcome::Failed;
        }
        if (!listenAsUserOnly(socket.get(), address->sun_path)) {
            error = cannotListen(path, qt_error_string(errno));
            ::unlink(address->sun_path);
            return Outcome::Failed;
        }
        socketFile_ = address->sun_path;
        listening_ = std::make_unique<WatchedSocket>(std::move(socket), this, [this] { accept(); });
        return Outcome::Listening;
    }

    void answer(quint64 connection, bool done) {
        const auto found = connections_.find(connection);
        if (found == connections_.end())
            return; // the sender has gone
        const QByteArray line = answerLine(done);
        const int fd = found->second->socket.fd();
        // A sender that has gone, or lets a socket's worth of answers pile up unread, is let go.
        if (uninterrupted([&] { return ::send(fd, line.data(), line.size(), MSG_NOSIGNAL); }) !=
            line.size())
            connections_.erase(found);
    }

private:
    static bool someoneAnswers(const sockaddr_un& address) {
        const Reached probe = reach(address, QDeadlineTimer(kProbeTimeoutMs));
        return probe.socket.valid() || probe.busy;
    }

    // Others may not connect: the socket file is made the user's alone before the socket
    // takes connections. Its identity tells later whether the file is still this watch's.
    bool listenAsUserOnly(int fd, const char* file) {
        return ::chmod(file, S_IRUSR | S_IWUSR) == 0 && ::listen(fd, SOMAXCONN) == 0 &&
               ::stat(file, &boundFile_) == 0;
    }

    // The socket file goes with the watch, unless another watch's socket has taken its place
    // (two watches started together). While this one still listens, a watch that starts finds
    // it answering and leaves the file alone.
    void removeSocketFile() {
        struct stat now {};
        if (listening_ && ::stat(socketFile_.constData(), &now) == 0 &&
            now.st_dev == boundFile_.st_dev && now.st_ino == boundFile_.st_ino)
            ::unlink(socketFile_.constData());
    }

    void accept() {
        for (;;) {
            Descriptor socket(uninterrupted([this] {
                return ::accept4(listening_->fd(), nullptr, nullptr, SOCK_CLOEXEC | SOCK_NONBLOCK);
            }));
            if (!socket.valid())
                return; // none is waiting
            const quint64 id = ++lastConnection_;
            connections_.emplace(
                id, new Connection{WatchedSocket(std::move(socket), this, [this, id] { read(id); }),
                                   {}});
        }
    }

    void read(quint64 id) {
        Connection& connection = *connections_.at(id);
        char chunk[4096];
        const ssize_t got =
            uninterrupted([&] { return ::recv(connection.socket.fd(), chunk, sizeof chunk, 0); });
        if (got < 0 && errno == EAGAIN)
            return;
        if (got <= 0) {
            connections_.erase(id); // the sender has gone
            return;
        }
        connection.unread.append(chunk, got);
        qsizetype end;
        while ((end = connection.unread.indexOf('\n')) >= 0) {
            const quint32 receivedAt = clock_();
            const QByteArray line = connection.unread.first(end).trimmed();
            connection.unread.remove(0, end + 1);
            pass(commandNamed(QString::fromLatin1(line)), receivedAt, id);
        }
        if (connection.unread.size() > kLongestRequest)
            connections_.erase(id); // not a sender of commands
    }

    // Commands go to the handler's thread, which sends each answer back here. A line that is
    // no command is refused by the same way round, so that the answers on a connection keep
    // the order of its lines.
    void pass(std::optional<DesktopCommand> command, quint32 receivedAt, quint64 connection) {
        if (command) {
            QMetaObject::invokeMethod(
                front_,
                [front = front_, command = *command, receivedAt, connection] {
                    front->take(command, receivedAt, connection);
                },
                Qt::QueuedConnection);
            return;
        }
        QMetaObject::invokeMethod(
            front_,
            [receiver = this, connection] {
                QMetaObject::invokeMethod(
                    receiver, [receiver, connection] { receiver->answer(connection, false); },
                    Qt::QueuedConnection);
            },
            Qt::QueuedConnection);
    }

    std::function<quint32()> clock_;
    CommandServer* front_; // outlives the thread, which it stops before it goes
    std::unique_ptr<WatchedSocket> listening_;
    QByteArray socketFile_;
    struct stat boundFile_ {};
    std::unordered_map<quint64, std::unique_ptr<Connection>> connections_;
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
