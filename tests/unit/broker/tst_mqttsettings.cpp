#include "MqttSettings.h"

#include <QTest>

using namespace kelvos;

class TestMqttSettings : public QObject {
    Q_OBJECT

private slots:
    void fromTheSettingsFile_data();
    void fromTheSettingsFile();
    void stationsOfRunTopics_data();
    void stationsOfRunTopics();
};

// What the operator writes under [Live] decides where the run goes; an address that is not one
// is told and shares nothing.
void TestMqttSettings::fromTheSettingsFile_data() {
    QTest::addColumn<QByteArray>("live");
    QTest::addColumn<QString>("host"); // empty: no broker
    QTest::addColumn<int>("port");
    QTest::addColumn<QString>("eventsTopic");
    QTest::addColumn<bool>("commands");
    QTest::addColumn<bool>("problem");
    QTest::newRow("no broker") << QByteArray("Station=a\n") << "" << 0 << "" << false << false;
    QTest::newRow("host alone") << QByteArray("Broker=mq.local\n") << "mq.local" << 1883
                                << "kelvos/host-1/events" << false << false;
    QTest::newRow("tls, host alone") << QByteArray("Broker=mq.local\nBrokerTls=1\n") << "mq.local"
                                     << 8883 << "kelvos/host-1/events" << false << false;
    QTest::newRow("everything") << QByteArray("Broker=10.0.0.2:1884\nTopics=club/\nStation=finish\n"
                                              "BrokerCommands=1\n")
                                << "10.0.0.2" << 1884 << "club/finish/events" << true << false;
    QTest::newRow("v6 address") << QByteArray("Broker=[::1]:1885\n") << "::1" << 1885
                                << "kelvos/host-1/events" << false << false;
    QTest::newRow("port not a number")
        << QByteArray("Broker=mq.local:mqtt\n") << "" << 0 << "" << false << true;
    QTest::newRow("port out of range")
        << QByteArray("Broker=mq.local:70000\n") << "" << 0 << "" << false << true;
}

void TestMqttSettings::fromTheSettingsFile() {
    QFETCH(QByteArray, live);
    QFETCH(QString, host);
    QFETCH(int, port);
    QFETCH(QString, eventsTopic);
    QFETCH(bool, commands);
    QFETCH(bool, problem);
    const MqttSettingsRead read =
        mqttSettingsFrom(IniDocument::fromBytes("[Live]\n" + live), QStringLiteral("host-1"));
    QCOMPARE(!read.problem.isEmpty(), problem);
    QCOMPARE(read.settings.has_value(), !host.isEmpty());
    if (!read.settings)
        return;
    QCOMPARE(read.settings->host, host);
    QCOMPARE(read.settings->port, port);
    QCOMPARE(read.settings->eventsTopic(), eventsTopic);
    QCOMPARE(read.settings->commands, commands);
}

// What arrives on the board's subscription is a station's run only when its topic is one.
void TestMqttSettings::stationsOfRunTopics_data() {
    QTest::addColumn<QString>("topic");
    QTest::addColumn<QString>("station"); // empty: none
    QTest::newRow("a station's run") << "club/a/finish/run"
                                     << "finish";
    QTest::newRow("this station's own") << "club/a/track/run"
                                        << "track";
    QTest::newRow("events") << "club/a/finish/events"
                            << "";
    QTest::newRow("command") << "club/a/finish/command"
                             << "";
    QTest::newRow("no station") << "club/a//run"
                                << "";
    QTest::newRow("two levels") << "club/a/x/y/run"
                                << "";
    QTest::newRow("another prefix") << "club/b/finish/run"
                                    << "";
    QTest::newRow("prefix without its slash") << "club/ab/run"
                                              << "";
    QTest::newRow("the prefix alone") << "club/a/run"
                                      << "";
}

void TestMqttSettings::stationsOfRunTopics() {
    QFETCH(QString, topic);
    QFETCH(QString, station);
    const MqttSettingsRead read = mqttSettingsFrom(
        IniDocument::fromBytes("[Live]\nBroker=mq\nTopics=club/a\nStation=track\n"), "host");
    QVERIFY(read.settings);
    QCOMPARE(read.settings->boardTopic(), "club/a/+/run");
    QCOMPARE(read.settings->stationOfRunTopic(topic).value_or(QString()), station);
}

QTEST_GUILESS_MAIN(TestMqttSettings)
#include "tst_mqttsettings.moc"
