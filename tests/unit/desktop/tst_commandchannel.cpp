#include "CommandChannel.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>
#include <csignal>
#include <cstring>
#include <future>
#include <memory>
#include <poll.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

using namespace kelvos;

namespace {
struct Taken {
    DesktopCommand command;
    quint32 receivedAt;
};

// A sender blocks until answered and the answer comes from this thread's event loop, so
// it sends from a thread of its own while the test waits here.
template <typename Send> auto whileServing(Send send) {
    auto sent = std::async(std::launch::async, send);
    [[maybe_unused]] const bool answered = QTest::qWaitFor(
        [&] { return sent.wait_for(std::chrono::seconds(0)) == std::future_status::ready; }, 5000);
    return sent.get();
}

SendResult sendWhileServing(const QString& path, DesktopCommand command) {
    return whileServing([&] { return sendCommand(path, command, 2000); });
}

sockaddr_un addressOf(const QString& path) {
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::strncpy(address.sun_path, QFile::encodeName(path).constData(),
                 sizeof address.sun_path - 1);
    return address;
}

// A connection of the test's own, for what sendCommand does not do.
class Peer {
public:
    explicit Peer(const QString& path) : fd_(::socket(AF_UNIX, SOCK_STREAM, 0)) {
        const sockaddr_un address = addressOf(path);
        connected_ =
            ::connect(fd_, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0;
    }
    ~Peer() { ::close(fd_); }
    bool connected() const { return connected_; }
    bool write(const QByteArray& data) {
        return ::write(fd_, data.data(), data.size()) == data.size();
    }
    void stopReading() { ::shutdown(fd_, SHUT_RD); }
    void stopWriting() { ::shutdown(fd_, SHUT_WR); }
    // The watch has closed its end: nothing more will come.
    bool closedByWatch() const {
        pollfd readable{fd_, POLLIN, 0};
        char byte;
        return ::poll(&readable, 1, 0) > 0 && ::recv(fd_, &byte, 1, MSG_DONTWAIT) == 0;
    }
    // What comes until `lines` lines have come, the watch closes or it is silent for 2 s.
    QByteArray readLines(int lines) {
        QByteArray read;
        pollfd readable{fd_, POLLIN, 0};
        char chunk[256];
        while (read.count('\n') < lines && ::poll(&readable, 1, 2000) > 0) {
            const ssize_t got = ::read(fd_, chunk, sizeof chunk);
            if (got <= 0)
                break;
            read.append(chunk, got);
        }
        return read;
    }

private:
    int fd_;
    bool connected_;
};

const auto kTakeAll = [](DesktopCommand, quint32) { return true; };
const auto kNoClock = [] { return 0u; };

int openDescriptors() {
    return int(QDir("/proc/self/fd").entryList(QDir::System | QDir::NoDotAndDotDot).size());
}

// Room for `count` more descriptors, within the hard limit; false when there is none.
bool roomForDescriptors(int count) {
    rlimit limit{};
    if (::getrlimit(RLIMIT_NOFILE, &limit) != 0)
        return false;
    const rlim_t needed = rlim_t(openDescriptors() + count);
    if (limit.rlim_cur >= needed)
        return true;
    if (limit.rlim_max < needed)
        return false;
    limit.rlim_cur = needed;
    return ::setrlimit(RLIMIT_NOFILE, &limit) == 0;
}

constexpr uid_t kNobody = 65534;

// Runs `work` in a child process as the user "nobody" (the caller must be root); the child ends
// with what `work` returns, or is ended after 20 s.
template <typename Work> pid_t asNobody(Work work) {
    const pid_t child = ::fork();
    if (child == 0) {
        ::alarm(20);
        ::signal(SIGPIPE, SIG_IGN);
        if (::setgid(kNobody) != 0 || ::setuid(kNobody) != 0)
            ::_exit(90);
        ::_exit(work());
    }
    return child;
}

// The exit status of `child` once it has ended; -1 when a signal ended it, -2 when it runs on.
int exitStatus(pid_t child) {
    int status = 0;
    int ended = -2;
    QTest::qWaitFor(
        [&] {
            if (::waitpid(child, &status, WNOHANG) == child)
                ended = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
            return ended != -2;
        },
        30000);
    return ended;
}

// A variable's value, null when it is not set.
QString environment(const QString& name) {
    const QByteArray key = name.toLatin1();
    return qEnvironmentVariableIsSet(key) ? qEnvironmentVariable(key, "") : QString();
}

void setEnvironment(const QString& name, const QString& value) {
    const QByteArray key = name.toLatin1();
    if (value.isNull())
        qunsetenv(key);
    else
        qputenv(key, QFile::encodeName(value));
}
} // namespace

class TestCommandChannel : public QObject {
    Q_OBJECT
private slots:
    void init() { QVERIFY(dir_.isValid()); }

    // The watch takes laps and refuses a start; each command is stamped when it arrives.
    void commandsAreAnsweredAndStamped() {
        std::atomic<quint32> clock{1000};
        QList<Taken> taken;
        CommandServer server([&clock] { return clock.fetch_add(5); },
                             [&taken](DesktopCommand command, quint32 receivedAt) {
                                 taken.append({command, receivedAt});
                                 return command != DesktopCommand::Start;
                             });
        const QString path = dir_.filePath("watch");
        QCOMPARE(server.listen(path), CommandServer::Outcome::Listening);
        QCOMPARE(sendWhileServing(path, DesktopCommand::Lap1), SendResult::Done);
        QCOMPARE(sendWhileServing(path, DesktopCommand::Start), SendResult::Refused);
        QCOMPARE(taken.size(), 2);
        QCOMPARE(taken[0].command, DesktopCommand::Lap1);
        QCOMPARE(taken[0].receivedAt, 1000u);
        QCOMPARE(taken[1].command, DesktopCommand::Start);
        QCOMPARE(taken[1].receivedAt, 1005u);
    }

    // A question is answered with a text, carried back whole; without an asker it is refused.
    void questionsAreAnsweredWithText() {
        const QString path = dir_.filePath("watch");
        CommandServer server(kNoClock, [](DesktopCommand, quint32) { return false; });
        QCOMPARE(server.listen(path), CommandServer::Outcome::Listening);
        QString text;
        const auto ask = [&](DesktopCommand question) {
            return whileServing([&] { return sendCommand(path, question, 2000, &text); });
        };
        QCOMPARE(ask(DesktopCommand::RemoteLink), SendResult::Refused);
        const QString link = "http://127.0.0.1:8765/remote#token=" + QString(32, 'a');
        server.setAsker([&link](DesktopCommand question) {
            return CommandAnswer{question == DesktopCommand::RemoteNewLink, link};
        });
        QCOMPARE(ask(DesktopCommand::RemoteNewLink), SendResult::Done);
        QCOMPARE(text, link);
        QCOMPARE(ask(DesktopCommand::RemoteLink), SendResult::Refused);
        const SendReport report = reportOf(SendResult::Refused, DesktopCommand::RemoteLink, text);
        QCOMPARE(report.exitCode, 3);
        QVERIFY(report.message.contains(link));
    }

    // A second watch finds the first; one that was killed left its socket behind, which the
    // next watch takes over.
    void oneWatchListens() {
        const QString path = dir_.filePath("watch");
        {
            CommandServer first(kNoClock, kTakeAll);
            QCOMPARE(first.listen(path), CommandServer::Outcome::Listening);
            CommandServer second(kNoClock, kTakeAll);
            QCOMPARE(second.listen(path), CommandServer::Outcome::OtherInstance);
        }
        QCOMPARE(sendCommand(path, DesktopCommand::Lap1, 500), SendResult::NoInstance);
        QFile leftBehind(path);
        QVERIFY(leftBehind.open(QIODevice::WriteOnly));
        leftBehind.close();
        CommandServer next(kNoClock, kTakeAll);
        QCOMPARE(next.listen(path), CommandServer::Outcome::Listening);
        QCOMPARE(sendWhileServing(path, DesktopCommand::Read), SendResult::Done);
    }

    // Each line on a connection is answered in its turn, a line that is no command too, and
    // the connection serves on after it.
    void linesAreAnsweredInTurn() {
        CommandServer server(kNoClock, [](DesktopCommand command, quint32) {
            return command != DesktopCommand::Start;
        });
        const QString path = dir_.filePath("watch");
        QCOMPARE(server.listen(path), CommandServer::Outcome::Listening);
        Peer peer(path);
        QVERIFY(peer.connected());
        QVERIFY(peer.write("lap1\nlap9\nstart\nlap2\n"));
        QCOMPARE(whileServing([&] { return peer.readLines(4); }),
                 QByteArray("done\nrefused\nrefused\ndone\n"));
    }

    // A sender that stops reading before its answer comes takes neither the watch down nor
    // its other senders.
    void senderGoneBeforeItsAnswer() {
        int taken = 0;
        CommandServer server(kNoClock, [&taken](DesktopCommand, quint32) {
            ++taken;
            return true;
        });
        const QString path = dir_.filePath("watch");
        QCOMPARE(server.listen(path), CommandServer::Outcome::Listening);
        Peer gone(path);
        QVERIFY(gone.connected());
        QVERIFY(gone.write("lap1\n"));
        gone.stopReading();
        QTRY_COMPARE(taken, 1);
        QCOMPARE(sendWhileServing(path, DesktopCommand::Lap2), SendResult::Done);
    }

    // Only the user may send commands, whatever the file mask.
    void socketIsTheUsersAlone() {
        CommandServer server(kNoClock, kTakeAll);
        const QString path = dir_.filePath("watch");
        const mode_t mask = ::umask(022);
        const CommandServer::Outcome outcome = server.listen(path);
        ::umask(mask);
        QCOMPARE(outcome, CommandServer::Outcome::Listening);
        struct stat file {};
        QCOMPARE(::stat(QFile::encodeName(path).constData(), &file), 0);
        QCOMPARE(file.st_mode & 0777, 0600u);
    }

    // About a thousand connections that send nothing do not use up the watch's descriptors nor
    // keep a command from being answered, and are let go.
    void floodOfIdleConnections() {
        constexpr int kFlood = 1000;
        if (!roomForDescriptors(kFlood + 200))
            QSKIP("the descriptor limit leaves no room for the connections");
        CommandServer server(kNoClock, kTakeAll);
        const QString path = dir_.filePath("watch");
        QCOMPARE(server.listen(path), CommandServer::Outcome::Listening);
        std::vector<std::unique_ptr<Peer>> idle;
        for (int i = 0; i < kFlood; ++i) {
            idle.push_back(std::make_unique<Peer>(path));
            QVERIFY(idle.back()->connected());
        }
        QCOMPARE(sendWhileServing(path, DesktopCommand::Lap1), SendResult::Done);
        // The test's own ends are open still: the watch holds only a few of the others.
        QVERIFY2(openDescriptors() < kFlood + 100, qPrintable(QString::number(openDescriptors())));
        QTRY_VERIFY_WITH_TIMEOUT(
            std::all_of(idle.begin(), idle.end(),
                        [](const auto& peer) { return peer->closedByWatch(); }),
            60000);
    }

    // A sender that says it writes no more after its line still gets the answer.
    void halfClosedSenderIsAnswered() {
        CommandServer server(kNoClock, kTakeAll);
        const QString path = dir_.filePath("watch");
        QCOMPARE(server.listen(path), CommandServer::Outcome::Listening);
        Peer peer(path);
        QVERIFY(peer.connected());
        QVERIFY(peer.write("lap1\n"));
        peer.stopWriting();
        QCOMPARE(whileServing([&] { return peer.readLines(1); }), QByteArray("done\n"));
    }

    // Watches that start together on a socket left behind: one of them listens, the others
    // find it.
    void watchesStartingTogether() {
        const QString path = dir_.filePath("watch");
        for (int round = 0; round < 200; ++round) {
            {
                const int stale = ::socket(AF_UNIX, SOCK_STREAM, 0);
                const sockaddr_un address = addressOf(path);
                ::unlink(address.sun_path);
                QCOMPARE(::bind(stale, reinterpret_cast<const sockaddr*>(&address), sizeof address),
                         0);
                ::close(stale);
            }
            std::vector<std::unique_ptr<CommandServer>> watches;
            for (int i = 0; i < 8; ++i)
                watches.push_back(std::make_unique<CommandServer>(kNoClock, kTakeAll));
            std::vector<std::future<CommandServer::Outcome>> outcomes;
            for (const auto& watch : watches)
                outcomes.push_back(std::async(std::launch::async,
                                              [&watch, &path] { return watch->listen(path); }));
            int listening = 0;
            for (auto& outcome : outcomes)
                listening += outcome.get() == CommandServer::Outcome::Listening;
            QCOMPARE(listening, 1);
        }
    }

    // The watch serves only its own user, and a sender trusts only a watch of its own user;
    // another user's socket at the path does not keep a watch from listening there.
    void otherUsersAreNotTrusted() {
        if (::geteuid() != 0)
            QSKIP("needs root, to act as another user");
        QTemporaryDir scratch;
        QCOMPARE(::chmod(QFile::encodeName(scratch.path()).constData(), 0777), 0);
        int taken = 0;
        CommandServer server(kNoClock, [&taken](DesktopCommand, quint32) {
            ++taken;
            return true;
        });
        const QString path = scratch.filePath("watch");
        QCOMPARE(server.listen(path), CommandServer::Outcome::Listening);
        QCOMPARE(::chmod(QFile::encodeName(path).constData(), 0666), 0);
        const pid_t sender = asNobody([&path] {
            Peer peer(path);
            if (!peer.connected())
                return 2;
            peer.write("lap1\n"); // the watch may have closed the connection already
            return peer.readLines(1).isEmpty() ? 0 : 1;
        });
        QCOMPARE(exitStatus(sender), 0);
        QCOMPARE(taken, 0);

        const QString othersPath = scratch.filePath("others");
        const pid_t others = asNobody([&othersPath] {
            const int socket = ::socket(AF_UNIX, SOCK_STREAM, 0);
            const sockaddr_un address = addressOf(othersPath);
            if (::bind(socket, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0 ||
                ::listen(socket, 8) != 0)
                return 2;
            for (int peer; (peer = ::accept(socket, nullptr, nullptr)) >= 0; ::close(peer))
                (void)!::write(peer, "done\n", 5);
            return 1;
        });
        QTRY_COMPARE_WITH_TIMEOUT(sendCommand(othersPath, DesktopCommand::Lap1, 500),
                                  SendResult::Untrusted, 30000);
        CommandServer next(kNoClock, kTakeAll);
        QCOMPARE(next.listen(othersPath), CommandServer::Outcome::Listening);
        QCOMPARE(sendWhileServing(othersPath, DesktopCommand::Lap1), SendResult::Done);
        ::kill(others, SIGKILL);
        ::waitpid(others, nullptr, 0);
    }

    // Where the socket goes: into the runtime folder when it is the user's alone, else into
    // the program's own folder in the temporary folder, which is made for the user alone and
    // refused when anyone else could have a hand in it.
    void socketPlace_data() {
        QTest::addColumn<int>("runtimeMode");   // 0: no runtime folder
        QTest::addColumn<QString>("ownFolder"); // missing, 700, 755, link, nobody's
        QTest::addColumn<QString>("placedIn");  // runtime, own or none
        QTest::newRow("runtime folder") << 0700 << "missing"
                                        << "runtime";
        QTest::newRow("runtime folder open to others") << 0755 << "missing"
                                                       << "own";
        QTest::newRow("no runtime folder") << 0 << "missing"
                                           << "own";
        QTest::newRow("own folder from before") << 0 << "700"
                                                << "own";
        QTest::newRow("own folder open to others") << 0 << "755"
                                                   << "none";
        QTest::newRow("own folder is a link") << 0 << "link"
                                              << "none";
        QTest::newRow("own folder of another user") << 0 << "nobody's"
                                                    << "none";
    }
    void socketPlace() {
        QFETCH(int, runtimeMode);
        QFETCH(QString, ownFolder);
        QFETCH(QString, placedIn);
        if (ownFolder == "nobody's" && ::geteuid() != 0)
            QSKIP("needs root, to give a folder to another user");
        QTemporaryDir scratch;
        const QString runtime = scratch.filePath("runtime");
        const QString temporary = scratch.filePath("tmp");
        const QString own = QDir(temporary).filePath(QString("kelvos-%1").arg(::geteuid()));
        QVERIFY(QDir().mkpath(temporary));
        if (runtimeMode) {
            QVERIFY(QDir().mkpath(runtime));
            QCOMPARE(::chmod(QFile::encodeName(runtime).constData(), runtimeMode), 0);
        }
        const QByteArray ownName = QFile::encodeName(own);
        if (ownFolder == "link") {
            QVERIFY(QDir().mkpath(scratch.filePath("elsewhere")));
            QCOMPARE(::chmod(QFile::encodeName(scratch.filePath("elsewhere")).constData(), 0700),
                     0);
            QVERIFY(QFile::link(scratch.filePath("elsewhere"), own));
        } else if (ownFolder != "missing") {
            QVERIFY(QDir().mkpath(own));
            QCOMPARE(::chmod(ownName.constData(), ownFolder == "755" ? 0755 : 0700), 0);
            if (ownFolder == "nobody's")
                QCOMPARE(::chown(ownName.constData(), kNobody, kNobody), 0);
        }
        const QString names[] = {"XDG_RUNTIME_DIR", "TMPDIR", "DISPLAY"};
        QString saved[3];
        for (int i = 0; i < 3; ++i)
            saved[i] = environment(names[i]);
        setEnvironment("XDG_RUNTIME_DIR", runtimeMode ? runtime : QString());
        setEnvironment("TMPDIR", temporary);
        setEnvironment("DISPLAY", ":1");
        const mode_t mask = ::umask(0222);
        const CommandSocketPlace place = commandSocketPlace();
        ::umask(mask);
        for (int i = 0; i < 3; ++i)
            setEnvironment(names[i], saved[i]);

        const QString name = commandSocketName(":1");
        if (placedIn == "none") {
            QVERIFY(place.path.isEmpty());
            QVERIFY2(place.problem.contains(own), qPrintable(place.problem));
            return;
        }
        QCOMPARE(place.path, QDir(placedIn == "runtime" ? runtime : own).filePath(name));
        struct stat folder {};
        QCOMPARE(::lstat(QFile::encodeName(QFileInfo(place.path).path()).constData(), &folder), 0);
        QCOMPARE(folder.st_mode & 07777, 0700u);
        QCOMPARE(folder.st_uid, ::geteuid());
    }

    // Watches on different displays of one user each have a socket; the screens of one display
    // share one.
    void socketNamedByDisplay_data() {
        QTest::addColumn<QString>("display");
        QTest::addColumn<QString>("other");
        QTest::addColumn<bool>("same");
        QTest::newRow("two displays") << ":0"
                                      << ":1" << false;
        QTest::newRow("a display and its screen") << ":1"
                                                  << ":1.0" << true;
        QTest::newRow("two screens of a display") << ":1.0"
                                                  << ":1.1" << true;
        QTest::newRow("remote and local") << "host:1"
                                          << ":1" << false;
        QTest::newRow("no display") << ""
                                    << ":0" << false;
        QTest::newRow("a path in the name") << "../x/y:2"
                                            << ":2" << false;
    }
    void socketNamedByDisplay() {
        QFETCH(QString, display);
        QFETCH(QString, other);
        QFETCH(bool, same);
        const QString name = commandSocketName(display);
        QCOMPARE(name == commandSocketName(other), same);
        QVERIFY2(name.startsWith("kelvos") && name.endsWith(".command") && !name.contains('/'),
                 qPrintable(name));
    }

    void pathTooLongForASocket() {
        CommandServer server(kNoClock, kTakeAll);
        const QString path = dir_.filePath(QString(120, 'w'));
        QCOMPARE(server.listen(path), CommandServer::Outcome::Failed);
        QVERIFY(server.errorString().contains(path));
        QCOMPARE(sendCommand(path, DesktopCommand::Lap1, 500), SendResult::NoInstance);
    }

    void reportsForTheCaller_data() {
        QTest::addColumn<SendResult>("result");
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QString>("messageHas");
        QTest::newRow("done") << SendResult::Done << 0 << "";
        QTest::newRow("no watch") << SendResult::NoInstance << 1 << "no KelvoS is running";
        QTest::newRow("refused") << SendResult::Refused << 3 << "did not take 'lap1'";
        QTest::newRow("silent") << SendResult::NoAnswer << 4 << "did not answer";
        QTest::newRow("another user's") << SendResult::Untrusted << 1 << "another user";
    }
    void reportsForTheCaller() {
        QFETCH(SendResult, result);
        QFETCH(int, exitCode);
        QFETCH(QString, messageHas);
        const SendReport report = reportOf(result, DesktopCommand::Lap1);
        QCOMPARE(report.exitCode, exitCode);
        QCOMPARE(report.message.isEmpty(), messageHas.isEmpty());
        QVERIFY(report.message.contains(messageHas));
    }

private:
    QTemporaryDir dir_;
};

QTEST_GUILESS_MAIN(TestCommandChannel)
#include "tst_commandchannel.moc"
