#include "CommandChannel.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <future>

using namespace kelvos;

namespace {
struct Taken {
    DesktopCommand command;
    quint32 receivedAt;
};

// The sender blocks until answered and the answer comes from this thread's event loop, so
// it sends from a thread of its own while the test waits here.
SendResult sendWhileServing(const QString& path, DesktopCommand command) {
    auto sent = std::async(std::launch::async, [&] { return sendCommand(path, command, 2000); });
    [[maybe_unused]] const bool answered = QTest::qWaitFor(
        [&] { return sent.wait_for(std::chrono::seconds(0)) == std::future_status::ready; }, 5000);
    return sent.get();
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

    // A second watch finds the first; one that was killed left its socket behind, which the
    // next watch takes over.
    void oneWatchListens() {
        const auto handler = [](DesktopCommand, quint32) { return true; };
        const auto clock = [] { return 0u; };
        const QString path = dir_.filePath("watch");
        {
            CommandServer first(clock, handler);
            QCOMPARE(first.listen(path), CommandServer::Outcome::Listening);
            CommandServer second(clock, handler);
            QCOMPARE(second.listen(path), CommandServer::Outcome::OtherInstance);
        }
        QCOMPARE(sendCommand(path, DesktopCommand::Lap1, 500), SendResult::NoInstance);
        QFile leftBehind(path);
        QVERIFY(leftBehind.open(QIODevice::WriteOnly));
        leftBehind.close();
        CommandServer next(clock, handler);
        QCOMPARE(next.listen(path), CommandServer::Outcome::Listening);
        QCOMPARE(sendWhileServing(path, DesktopCommand::Read), SendResult::Done);
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
