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
    }

    void requestsReadBack() {
        for (const QString& name : sendableCommandNames() + QStringList{"raise"}) {
            const auto command = commandNamed(name);
            QVERIFY(command);
            QCOMPARE(requestLine(*command), name.toLatin1() + '\n');
        }
        QCOMPARE(answerOf(answerLine(true)), std::optional(true));
        QCOMPARE(answerOf(answerLine(false)), std::optional(false));
        QCOMPARE(answerOf("maybe\n"), std::nullopt);
    }
};

QTEST_GUILESS_MAIN(TestCommandLine)
#include "tst_commandline.moc"
