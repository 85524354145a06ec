#include "MosquittoBroker.h"
#include "MqttLink.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTest>
#include <atomic>
#include <mosquitto.h>
#include <mutex>

using namespace kelvos;

namespace {

constexpr int kWaitMs = testbroker::MosquittoBroker::kWaitMs;

// Another program on the broker: keeps what arrives on one topic.
class Subscriber {
public:
    Subscriber(int port, const QByteArray& topic, const char* id) : topic_(topic) {
        client_ = mosquitto_new(id, id == nullptr, this);
        mosquitto_connect_callback_set(client_, [](mosquitto* client, void* self, int code) {
            if (code == 0)
                mosquitto_subscribe(client, nullptr, static_cast<Subscriber*>(self)->topic_, 1);
        });
        mosquitto_subscribe_callback_set(client_, [](mosquitto*, void* self, int, int, const int*) {
            static_cast<Subscriber*>(self)->subscribed_ = true;
        });
        mosquitto_message_callback_set(
            client_, [](mosquitto*, void* self, const mosquitto_message* m) {
                auto* subscriber = static_cast<Subscriber*>(self);
                std::lock_guard lock(subscriber->mutex_);
                subscriber->messages_
                    << QByteArray(static_cast<const char*>(m->payload), m->payloadlen);
            });
        mosquitto_reconnect_delay_set(client_, 1, 1, false);
        mosquitto_loop_start(client_);
        mosquitto_connect_async(client_, "127.0.0.1", port, 30);
    }
    ~Subscriber() {
        mosquitto_disconnect(client_);
        mosquitto_loop_stop(client_, false);
        mosquitto_destroy(client_);
    }
    bool subscribed() const { return subscribed_; }
    QList<QByteArray> messages() {
        std::lock_guard lock(mutex_);
        return messages_;
    }
    QList<QJsonObject> objects() {
        QList<QJsonObject> objects;
        for (const QByteArray& message : messages())
            objects << QJsonDocument::fromJson(message).object();
        return objects;
    }

private:
    QByteArray topic_;
    mosquitto* client_;
    std::atomic<bool> subscribed_{false};
    std::mutex mutex_;
    QList<QByteArray> messages_;
};

void publishOnce(int port, const QByteArray& topic, const QByteArray& payload) {
    QCOMPARE(QProcess::execute("mosquitto_pub", {"-h", "127.0.0.1", "-p", QString::number(port),
                                                 "-q", "1", "-t", topic, "-m", payload}),
             0);
}

// Kept by the broker for later subscribers; an empty payload removes what it kept.
void publishRetained(int port, const QByteArray& topic, const QByteArray& payload) {
    QStringList arguments{"-h", "127.0.0.1", "-p", QString::number(port), "-q", "1",
                          "-r", "-t",        topic};
    arguments << (payload.isEmpty() ? QStringList{"-n"} : QStringList{"-m", payload});
    QCOMPARE(QProcess::execute("mosquitto_pub", arguments), 0);
}

MqttSettings settingsFor(int port, bool commands) {
    MqttSettings settings;
    settings.host = "127.0.0.1";
    settings.port = port;
    settings.station = "track-1";
    settings.commands = commands;
    return settings;
}

RunEvent lap(quint64 sequence) {
    RunEvent event;
    event.kind = RunEventKind::Lap;
    event.sequence = sequence;
    event.state = RunState::Running;
    event.total = qint32(sequence) * 1000;
    event.wallClock = QDateTime(QDate(2026, 12, 9), QTime(12, 0));
    event.lap.number = qint32(sequence);
    event.lap.total = event.total;
    event.lap.lap = 1000;
    event.lap.mixRow = int(sequence);
    return event;
}

// The rule a subscriber keeps: a "seq" not above the last one seen was seen already.
QList<qint64> withoutDuplicates(const QList<QJsonObject>& events) {
    QList<qint64> sequences;
    for (const QJsonObject& event : events) {
        const qint64 sequence = event.value("seq").toInteger();
        if (sequences.isEmpty() || sequence > sequences.last())
            sequences << sequence;
    }
    return sequences;
}

QList<qint64> oneTo(qint64 last) {
    QList<qint64> sequences;
    for (qint64 sequence = 1; sequence <= last; ++sequence)
        sequences << sequence;
    return sequences;
}

} // namespace

class TestMqttLink : public QObject {
    Q_OBJECT

private slots:
    void everyEventArrivesInOrder_data();
    void everyEventArrivesInOrder();
    void commandsFromTheBroker_data();
    void commandsFromTheBroker();
    void everyStationsRunReachesTheBoard();
};

// Events handed over while the broker is away wait and go out when it is back: a subscriber
// that drops what it saw already (by "seq") has every event once, with nothing skipped, and the
// retained run is the last one.
void TestMqttLink::everyEventArrivesInOrder_data() {
    QTest::addColumn<bool>("awayAtStart");
    QTest::newRow("broker restarted during the run") << false;
    QTest::newRow("broker away when the watch starts") << true;
}

void TestMqttLink::everyEventArrivesInOrder() {
    QFETCH(bool, awayAtStart);
    testbroker::MosquittoBroker broker;
    QVERIFY(broker.start());
    const MqttSettings settings = settingsFor(broker.port(), false);
    const auto subscriber = std::make_unique<Subscriber>(
        broker.port(), settings.eventsTopic().toUtf8(), "events-watcher");
    QTRY_VERIFY_WITH_TIMEOUT(subscriber->subscribed(), kWaitMs);
    quint64 sequence = 0;
    if (awayAtStart)
        broker.stop();
    MqttLink link(settings, {});
    link.start();
    if (!awayAtStart) {
        for (; sequence < 20;)
            link.handOver(lap(++sequence));
        QTRY_COMPARE_WITH_TIMEOUT(withoutDuplicates(subscriber->objects()).size(), 20, kWaitMs);
        broker.stop();
    }
    for (const quint64 last = sequence + 30; sequence < last;)
        link.handOver(lap(++sequence));
    QVERIFY(broker.start());
    QTRY_COMPARE_WITH_TIMEOUT(withoutDuplicates(subscriber->objects()), oneTo(qint64(sequence)),
                              kWaitMs);
    const QJsonObject first = subscriber->objects().first();
    QCOMPARE(first.value("type").toString(), "lap");
    QCOMPARE(first.value("lap").toObject().value("total").toInt(), 1000);

    Subscriber late(broker.port(), settings.runTopic().toUtf8(), nullptr);
    QTRY_VERIFY_WITH_TIMEOUT(!late.messages().isEmpty(), kWaitMs);
    const QJsonObject run = late.objects().last();
    QCOMPARE(run.value("seq").toInteger(), qint64(sequence));
    QCOMPARE(run.value("station").toString(), "track-1");
    QCOMPARE(run.value("session"), first.value("session"));
    QVERIFY(!first.value("session").toString().isEmpty());
}

// A word of `kelvos --send` on the command topic becomes that command, timed when it arrived,
// only where commands are allowed; other words are ignored.
void TestMqttLink::commandsFromTheBroker_data() {
    QTest::addColumn<bool>("allowed");
    QTest::addColumn<QByteArrayList>("words");
    QTest::addColumn<QList<DesktopCommand>>("taken");
    QTest::newRow("allowed") << true << QByteArrayList{"lap1"}
                             << QList<DesktopCommand>{DesktopCommand::Lap1};
    QTest::newRow("unknown words") << true << QByteArrayList{"raise", "lap9", " lap2\n"}
                                   << QList<DesktopCommand>{DesktopCommand::Lap2};
    QTest::newRow("not allowed") << false << QByteArrayList{"lap1"} << QList<DesktopCommand>{};
}

void TestMqttLink::commandsFromTheBroker() {
    QFETCH(bool, allowed);
    QFETCH(QByteArrayList, words);
    QFETCH(QList<DesktopCommand>, taken);
    testbroker::MosquittoBroker broker;
    QVERIFY(broker.start());
    ManualClock clock(4321);
    QList<DesktopCommand> commands;
    QList<quint32> times;
    const auto keep = [&clock](QList<DesktopCommand>& into, QList<quint32>* at) {
        return MqttLinkHooks{[&clock] { return clock.now(); },
                             [&into, at](DesktopCommand command, quint32 receivedAt) {
                                 into << command;
                                 if (at)
                                     *at << receivedAt;
                                 return true;
                             },
                             {}};
    };
    MqttLink link(settingsFor(broker.port(), allowed), keep(commands, &times));
    // A link that takes commands on the same topic shows when the words have arrived.
    QList<DesktopCommand> witnessed;
    MqttLink witness(settingsFor(broker.port(), true), keep(witnessed, nullptr));
    link.start();
    witness.start();
    const QByteArray topic = settingsFor(broker.port(), true).commandTopic().toUtf8();
    // Subscriptions are made once connected: a first word goes until both links have it.
    // Reads are left out of what is compared: more than one of them may arrive.
    QTRY_VERIFY_WITH_TIMEOUT(
        [&] {
            if (!witnessed.isEmpty() && (!allowed || !commands.isEmpty()))
                return true;
            publishOnce(broker.port(), topic, "read");
            return false;
        }(),
        kWaitMs);
    for (const QByteArray& word : words)
        publishOnce(broker.port(), topic, word);
    const DesktopCommand last = *commandNamed(QString(words.last()).trimmed());
    QTRY_VERIFY_WITH_TIMEOUT(witnessed.contains(last), kWaitMs);
    QCoreApplication::processEvents();
    const auto withoutReads = [](QList<DesktopCommand> list) {
        list.removeAll(DesktopCommand::Read);
        return list;
    };
    QTRY_COMPARE(withoutReads(commands), taken);
    QCOMPARE(times, QList<quint32>(commands.size(), 4321));
}

// The board hears every station's retained run under the prefix, this one's with the time of
// its last event, and a removed run as an empty payload; nothing else of the broker.
void TestMqttLink::everyStationsRunReachesTheBoard() {
    testbroker::MosquittoBroker broker;
    QVERIFY(broker.start());
    publishRetained(broker.port(), "kelvos/finish/run", R"({"state":"idle"})");
    std::mutex mutex;
    QList<std::pair<QString, QByteArray>> runs;
    const auto heard = [&] {
        std::lock_guard lock(mutex);
        return runs;
    };
    MqttLinkHooks hooks;
    hooks.boardRun = [&](const QString& station, const QByteArray& run) {
        std::lock_guard lock(mutex);
        runs.append({station, run});
    };
    MqttLink link(settingsFor(broker.port(), false), hooks);
    link.start();
    QTRY_COMPARE_WITH_TIMEOUT(heard().size(), 1, kWaitMs);
    QCOMPARE(heard().first(), std::pair(QString("finish"), QByteArray(R"({"state":"idle"})")));

    link.handOver(lap(1));
    QTRY_COMPARE_WITH_TIMEOUT(heard().size(), 2, kWaitMs);
    QCOMPARE(heard().last().first, "track-1");
    const QJsonObject own = QJsonDocument::fromJson(heard().last().second).object();
    QCOMPARE(own.value("totalAt").toInteger(),
             QDateTime(QDate(2026, 12, 9), QTime(12, 0)).toMSecsSinceEpoch());
    QCOMPARE(own.value("lastLaps").toArray().first().toObject().value("number").toInt(), 1);

    publishOnce(broker.port(), "kelvos/finish/events", "{}");
    publishOnce(broker.port(), "kelvos/finish/run/extra", "{}");
    publishRetained(broker.port(), "kelvos/finish/run", {});
    QTRY_COMPARE_WITH_TIMEOUT(heard().size(), 3, kWaitMs);
    QCOMPARE(heard().last(), std::pair(QString("finish"), QByteArray()));
}

QTEST_GUILESS_MAIN(TestMqttLink)
#include "tst_mqttlink.moc"
