#include "CommandChannel.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSocketNotifier>
#include <QThread>
#include <QTimer>
#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <fcntl.h>
#include <map>
#include <memory>
#include <optional>
#include <poll.h>
#include <sys/file.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>
#include <utility>

namespace kelvos {

namespace {
constexpr int kProbeTimeoutMs = 1000;
// A starting watch holds the lock beside the socket for a probe at most; one that waits
// longer for it gives up instead of hanging the start.
constexpr int kLockWaitMs = 5000;
constexpr int kLockRetryMs = 10;
// Senders of commands connect, write a line and read the answer: more connections at a time
// than this, or one silent this long, is not a sender of commands.
constexpr std::size_t kMostConnections = 32;
constexpr auto kIdleTimeout = std::chrono::seconds(3);
constexpr auto kIdleCheck = std::chrono::milliseconds(500);
// Out of descriptors or memory, the listening socket stays readable: accepting pauses this
// long instead of being woken again at once.
constexpr auto kAcceptPause = std::chrono::milliseconds(200);
constexpr qsizetype kLongestRequest = 64;  // a line longer than any command name is not one
constexpr qsizetype kLongestAnswer = 4096; // a word, and a link or the reason for a refusal
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

// Whether the process at the other end of a local socket runs as this user.
bool peerIsOwnUser(int fd) {
    ucred peer{};
    socklen_t size = sizeof peer;
    return ::getsockopt(fd, SOL_SOCKET, SO_PEERCRED, &peer, &size) == 0 && peer.uid == ::geteuid();
}

// A connection to a watch's socket, or why there is none.
struct Reached {
    Descriptor socket;      // valid when connected to a process of this user
    bool busy = false;      // a watch listens, but did not take the connection before the deadline
    bool untrusted = false; // a process of another user listens
};

Reached reach(const sockaddr_un& address, QDeadlineTimer deadline) {
    Descriptor socket(::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0));
    if (!socket.valid())
        return {};
    for (;;) {
        boundSendingBy(socket.get(), deadline);
        if (::connect(socket.get(), asSockaddr(address), sizeof address) == 0) {
            if (!peerIsOwnUser(socket.get()))
                return {Descriptor(), false, true};
            return {std::move(socket)};
        }
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
        if (read.size() > kLongestAnswer || !waitFor(fd, POLLIN, deadline))
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
    void setWatched(bool watched) { readable_->setEnabled(watched); }

private:
    Descriptor socket_;
    QSocketNotifier* readable_;
};

// A sender's connection: the start of a line still coming on it, the answers it waits for,
// and when it is let go if it sends nothing more.
struct Connection {
    WatchedSocket socket;
    QByteArray unread;
    int awaited = 0;         // lines passed on whose answers have not gone back
    bool senderDone = false; // the sender writes no more (it half-closed): it goes once answered
    QDeadlineTimer idleUntil{kIdleTimeout};

    bool idle() const { return awaited == 0; }
};

// The lock beside a socket file, held while a watch checks for a running watch there and takes
// the file over, or removes it: without it two watches starting together could both replace
// the file. Invalid when it could not be had in time.
Descriptor lockBeside(const char* socketFile) {
    const QByteArray name = QByteArray(socketFile) + ".lock";
    Descriptor lock(::open(name.constData(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600));
    if (!lock.valid())
        return lock;
    const QDeadlineTimer deadline(kLockWaitMs);
    while (::flock(lock.get(), LOCK_EX | LOCK_NB) != 0) {
        if ((errno != EWOULDBLOCK && errno != EINTR) || deadline.hasExpired())
            return {};
        QThread::msleep(kLockRetryMs);
    }
    return lock;
}

// Why `folder` may not hold the socket: a folder for the socket is a directory, not a link to
// one, of this user, which no one else may enter or write. Empty when it may.
QString unsafetyOf(const QString& folder) {
    struct stat info {};
    if (::lstat(QFile::encodeName(folder).constData(), &info) != 0)
        return qt_error_string(errno);
    if (S_ISLNK(info.st_mode))
        return "it is a symbolic link";
    if (!S_ISDIR(info.st_mode))
        return "it is not a folder";
    if (info.st_uid != ::geteuid())
        return "it belongs to another user";
    if ((info.st_mode & 07777) != S_IRWXU)
        return QString("others may use it (mode %1, not 700)").arg(info.st_mode & 07777, 0, 8);
    return {};
}

} // namespace

QString commandSocketName(const QString& display) {
    if (display.isEmpty())
        return "kelvos.command";
    QString name = display;
    // ":1.0" is screen 0 of display ":1": the screen is dropped.
    const qsizetype screen = name.indexOf('.', name.lastIndexOf(':') + 1);
    if (name.contains(':') && screen >= 0)
        name.truncate(screen);
    for (QChar& c : name)
        if (!(c.isLetterOrNumber() && c.unicode() < 128) && c != '-' && c != '.')
            c = '_';
    return "kelvos-" + name + ".command";
}

CommandSocketPlace commandSocketPlace() {
    const QString name = commandSocketName(qEnvironmentVariable("DISPLAY"));
    const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
    if (QDir::isAbsolutePath(runtime) && unsafetyOf(runtime).isEmpty())
        return {QDir(runtime).filePath(name), {}};
    // The program's own folder, made for the user alone when missing; the file mask is undone.
    const QString folder = QDir(QDir::tempPath()).filePath(QString("kelvos-%1").arg(::geteuid()));
    if (::mkdir(QFile::encodeName(folder).constData(), S_IRWXU) == 0)
        ::chmod(QFile::encodeName(folder).constData(), S_IRWXU);
    if (const QString unsafety = unsafetyOf(folder); !unsafety.isEmpty())
        return {{},
                QString("the folder %1 cannot hold the command socket: %2").arg(folder, unsafety)};
    return {QDir(folder).filePath(name), {}};
}

CommandSocketPlace senderSocketPlace() {
    CommandSocketPlace place = commandSocketPlace();
    if (place.path.isEmpty() || !qEnvironmentVariable("DISPLAY").isEmpty())
        return place;
    const QDir folder = QFileInfo(place.path).dir();
    QStringList listening;
    for (const QString& name : folder.entryList({"kelvos*.command"}, QDir::System)) {
        const auto address = socketAddress(folder.filePath(name));
        if (address && reach(*address, QDeadlineTimer(kProbeTimeoutMs)).socket.valid())
            listening << folder.filePath(name);
    }
    if (listening.size() == 1)
        place.path = listening.first();
    else if (listening.size() > 1)
        place = {{},
                 "KelvoS runs on several displays (" + listening.join(", ") +
                     "): set DISPLAY to the display of the one to reach"};
    return place;
}

// Each step (connecting, writing the request, reading the answer) gets `timeoutMs`.
SendResult sendCommand(const QString& path, DesktopCommand command, int timeoutMs,
                       QString* answerText) {
    const auto address = socketAddress(path);
    if (!address)
        return SendResult::NoInstance; // no socket can be there
    const Reached watch = reach(*address, QDeadlineTimer(timeoutMs));
    if (watch.untrusted)
        return SendResult::Untrusted;
    if (!watch.socket.valid())
        return watch.busy ? SendResult::NoAnswer : SendResult::NoInstance;
    const int fd = watch.socket.get();
    if (!writeAll(fd, requestLine(command), QDeadlineTimer(timeoutMs)))
        return SendResult::NoAnswer;
    const auto line = readLine(fd, QDeadlineTimer(timeoutMs));
    const auto answer = line ? answerOf(*line) : std::nullopt;
    if (!answer)
        return SendResult::NoAnswer;
    if (answerText)
        *answerText = answer->text;
    return answer->done ? SendResult::Done : SendResult::Refused;
}

SendReport reportOf(SendResult result, DesktopCommand command, const QString& answerText) {
    const QString name = commandName(command);
    if (result == SendResult::Refused && !answerText.isEmpty())
        return {3, QString("kelvos: KelvoS did not take '%1': %2").arg(name, answerText)};
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
    case SendResult::Untrusted:
        return {1, QString("kelvos: the command socket belongs to another user; '%1' was not sent "
                           "to it, and no KelvoS of yours is running to take it")
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
        : clock_(std::move(clock)), front_(&front), idleCheck_(new QTimer(this)),
          acceptPause_(new QTimer(this)) {
        idleCheck_->setInterval(kIdleCheck);
        connect(idleCheck_, &QTimer::timeout, this, [this] { letIdleGo(); });
        acceptPause_->setSingleShot(true);
        acceptPause_->setInterval(kAcceptPause);
        connect(acceptPause_, &QTimer::timeout, this, [this] { listening_->setWatched(true); });
    }
    ~Receiver() override { removeSocketFile(); }

    Outcome listen(const QString& path, QString& error) {
        const auto address = socketAddress(path);
        if (!address) {
            error = cannotListen(
                path,
                QString("the path of a local socket must have 1 to %1 bytes").arg(kLongestPath));
            return Outcome::Failed;
        }
        const Descriptor lock = lockBeside(address->sun_path);
        if (!lock.valid()) {
            error = cannotListen(path, "its lock file cannot be held: " + qt_error_string(errno));
            return Outcome::Failed;
        }
        // A socket that answers as this user's belongs to a running watch; one that does not
        // was left behind by a watch that did not close, or is another user's: it is replaced.
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

    void answer(quint64 id, const CommandAnswer& reply) {
        const auto found = connections_.find(id);
        if (found == connections_.end())
            return; // the sender has gone
        Connection& connection = *found->second;
        const QByteArray line = answerLine(reply);
        const int fd = connection.socket.fd();
        // A sender that has gone, or lets a socket's worth of answers pile up unread, is let go.
        if (uninterrupted([&] { return ::send(fd, line.data(), line.size(), MSG_NOSIGNAL); }) !=
            line.size()) {
            connections_.erase(found);
            return;
        }
        if (--connection.awaited > 0)
            return;
        if (connection.senderDone)
            connections_.erase(found);
        else
            connection.idleUntil = QDeadlineTimer(kIdleTimeout);
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
        if (!listening_)
            return;
        const Descriptor lock = lockBeside(socketFile_.constData());
        struct stat now {};
        if (::stat(socketFile_.constData(), &now) == 0 && now.st_dev == boundFile_.st_dev &&
            now.st_ino == boundFile_.st_ino)
            ::unlink(socketFile_.constData());
    }

    // Takes what connections wait, a bounded number per wake-up so that answers and reads go
    // on during a flood of them.
    void accept() {
        for (std::size_t taken = 0; taken < kMostConnections; ++taken) {
            const int fd = uninterrupted([this] {
                return ::accept4(listening_->fd(), nullptr, nullptr, SOCK_CLOEXEC | SOCK_NONBLOCK);
            });
            if (fd >= 0) {
                admit(Descriptor(fd));
                continue;
            }
            if (errno == ECONNABORTED)
                continue; // that sender has gone; the next may wait
            if (errno != EAGAIN && errno != EWOULDBLOCK) {
                listening_->setWatched(false); // out of descriptors or memory
                acceptPause_->start();
            }
            return;
        }
    }

    // Another user's process is let go unheard. Beyond the most connections, the oldest one
    // that waits for no answer makes room; when all wait, the new one is let go at once.
    void admit(Descriptor socket) {
        if (!peerIsOwnUser(socket.get()))
            return;
        if (connections_.size() >= kMostConnections) {
            const auto oldestIdle =
                std::find_if(connections_.begin(), connections_.end(),
                             [](const auto& entry) { return entry.second->idle(); });
            if (oldestIdle == connections_.end())
                return;
            connections_.erase(oldestIdle);
        }
        const quint64 id = ++lastConnection_;
        connections_.emplace(
            id,
            new Connection{WatchedSocket(std::move(socket), this, [this, id] { read(id); }), {}});
        if (!idleCheck_->isActive())
            idleCheck_->start();
        read(id); // a sender's line is often there already
    }

    void read(quint64 id) {
        const auto found = connections_.find(id);
        if (found == connections_.end())
            return;
        Connection& connection = *found->second;
        char chunk[4096];
        const ssize_t got =
            uninterrupted([&] { return ::recv(connection.socket.fd(), chunk, sizeof chunk, 0); });
        if (got < 0 && (errno == EAGAIN || errno == EWOULDBLOCK))
            return;
        if (got == 0)
            return senderDone(found);
        if (got < 0) {
            connections_.erase(found); // the sender has gone
            return;
        }
        connection.unread.append(chunk, got);
        qsizetype end;
        while ((end = connection.unread.indexOf('\n')) >= 0) {
            const quint32 receivedAt = clock_();
            const QByteArray line = connection.unread.first(end).trimmed();
            connection.unread.remove(0, end + 1);
            ++connection.awaited;
            pass(commandNamed(QString::fromLatin1(line)), receivedAt, id);
        }
        if (connection.unread.size() > kLongestRequest)
            connections_.erase(found); // not a sender of commands
    }

    // A sender that half-closed still gets the answers to its lines; the socket is no longer
    // watched, as it would tell of the end again and again.
    void senderDone(std::map<quint64, std::unique_ptr<Connection>>::iterator found) {
        Connection& connection = *found->second;
        if (connection.idle()) {
            connections_.erase(found);
            return;
        }
        connection.senderDone = true;
        connection.socket.setWatched(false);
    }

    void letIdleGo() {
        std::erase_if(connections_, [](const auto& entry) {
            return entry.second->idle() && entry.second->idleUntil.hasExpired();
        });
        if (connections_.empty())
            idleCheck_->stop();
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
                    receiver, [receiver, connection] { receiver->answer(connection, {}); },
                    Qt::QueuedConnection);
            },
            Qt::QueuedConnection);
    }

    std::function<quint32()> clock_;
    CommandServer* front_; // outlives the thread, which it stops before it goes
    QTimer* idleCheck_;
    QTimer* acceptPause_;
    std::unique_ptr<WatchedSocket> listening_;
    QByteArray socketFile_;
    struct stat boundFile_ {};
    std::map<quint64, std::unique_ptr<Connection>> connections_; // the oldest first
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
    CommandAnswer reply;
    if (!isQuestion(command))
        reply.done = handler_(command, receivedAt);
    else if (asker_)
        reply = asker_(command);
    QMetaObject::invokeMethod(
        receiver_,
        [receiver = receiver_, connection, reply] { receiver->answer(connection, reply); },
        Qt::QueuedConnection);
}

} // namespace kelvos
