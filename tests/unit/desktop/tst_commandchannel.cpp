#include "CommandChannel.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <cstring>
#include <future>
#include <poll.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

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

// A connection of the test's own, for what sendCommand does not do.
class Peer {
public:
    explicit Peer(const QString& path) : fd_(::socket(AF_UNIX, SOCK_STREAM, 0)) {
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        std::strncpy(address.sun_path, QFile::encodeName(path).constData(),
                     sizeof address.sun_path - 1);
        connected_ = ::connect(fd_, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0;
    }
    ~Peer() { ::close(fd_); }
    bool connected() const { return connected_; }
    bool write(const QByteArray& data) {
        return ::write(fd_, data.data(), data.size()) == data.size();
    }
    void stopReading() { ::shutdown(fd_, SHUT_RD); }
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
