#include "CommandLine.h"

#include <QTest>

using namespace kelvos;

Q_DECLARE_METATYPE(CommandLine::Action)

class TestCommandLine : public QObject {
    Q_OBJECT
private slots:
    void parse_data() {
        using A = CommandLine::Action;
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<A>("action");
        QTest::addColumn<int>("command"); // -1: none
        QTest::addColumn<QString>("textHas");
        QTest::newRow("nothing opens the watch") << QStringList{} << A::Run << -1 << "";
        QTest::newRow("a lap") << QStringList{"--send", "lap2"} << A::Send
                               << int(DesktopCommand::Lap2) << "";
        QTest::newRow("the read-out, value joined")
            << QStringList{"--send=read"} << A::Send << int(DesktopCommand::Read) << "";
        QTest::newRow("an unknown command names the known ones")
            << QStringList{"--send", "lap4"} << A::Error << -1
            << "one of: start|stop|restart|reset|lap1|lap2|lap3|read";
        QTest::newRow("coming to the front is not sent by hand")
            << QStringList{"--send", "raise"} << A::Error << -1 << "unknown command 'raise'";
        QTest::newRow("no command") << QStringList{"--send"} << A::Error << -1 << "--help";
        QTest::newRow("an unknown option") << QStringList{"--bogus"} << A::Error << -1 << "bogus";
        QTest::newRow("a stray argument") << QStringList{"lap1"} << A::Error << -1 << "'lap1'";
        QTest::newRow("help lists the commands")
            << QStringList{"--help"} << A::Help << -1 << "start|stop|restart";
        QTest::newRow("version") << QStringList{"-v"} << A::Version << -1 << "KelvoS 9.8.7\n";
        QTest::newRow("a live port opens the watch")
            << QStringList{"--live-port", "9000"} << A::Run << -1 << "";
        QTest::newRow("no live server") << QStringList{"--live-port", "0"} << A::Run << -1 << "";
        QTest::newRow("a port beyond the range")
            << QStringList{"--live-port", "65536"} << A::Error << -1 << "0 to 65535";
        QTest::newRow("a port that is no number")
            << QStringList{"--live-port", "web"} << A::Error << -1 << "0 to 65535";
        QTest::newRow("a live port with a command")
            << QStringList{"--live-port", "9000", "--send", "lap1"} << A::Error << -1
            << "does not go with --send";
    }
    void parse() {
        QFETCH(QStringList, arguments);
        QFETCH(CommandLine::Action, action);
        QFETCH(int, command);
        QFETCH(QString, textHas);
        const CommandLine line = parseCommandLine(QStringList{"kelvos"} + arguments, "9.8.7");
        QCOMPARE(line.action, action);
        QCOMPARE(line.command ? int(*line.command) : -1, command);
        QVERIFY2(line.text.contains(textHas), qPrintable(line.text));
        const qsizetype port = arguments.indexOf("--live-port");
        QCOMPARE(line.livePort.has_value(), action == CommandLine::Action::Run && port >= 0);
        if (line.livePort)
            QCOMPARE(*line.livePort, arguments.value(port + 1).toUShort());
    }

    void requestsReadBack() {
        for (const QString& name : sendableCommandNames() + QStringList{"raise"}) {
            const auto command = commandNamed(name);
            QVERIFY(command);
            QCOMPARE(requestLine(*command), name.toLatin1() + '\n');
        }
        const QList<CommandAnswer> answers{
            {true, {}},
            {false, {}},
            {true, "http://127.0.0.1:8765/remote#token=00ff"},
            {false, "remote timekeepers are not allowed; tick \"Allow\" 100%\nfirst"}};
        for (const CommandAnswer& answer : answers) {
            const QByteArray line = answerLine(answer);
            QCOMPARE(line.count('\n'), 1);
            QCOMPARE(answerOf(line), std::optional(answer));
        }
        QCOMPARE(answerOf("done\n"), std::optional(CommandAnswer{true, {}}));
        QCOMPARE(answerOf("maybe\n"), std::nullopt);
    }
};

QTEST_GUILESS_MAIN(TestCommandLine)
#include "tst_commandline.moc"
