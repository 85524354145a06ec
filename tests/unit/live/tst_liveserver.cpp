#include "EventLog.h"
#include "LiveServer.h"
#include "MillisecondClock.h"
#include "RemoteDesk.h"

#include <QDateTime>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSignalSpy>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTest>
#include <QUrlQuery>
#include <QWebSocket>
#include <memory>

using namespace kelvos;

namespace {

constexpr quint16 kFirstPort = 18765;

RunEvent lapEvent(quint64 sequence, qint32 number) {
    RunEvent event;
    event.kind = RunEventKind::Lap;
    event.sequence = sequence;
    event.state = RunState::Running;
    event.total = number * 1000;
    event.lap.competitor = 1;
    event.lap.number = number;
    event.lap.total = number * 1000;
    event.lap.lap = 1000;
    event.lap.mainRow = number;
    event.lap.mixRow = number;
    return event;
}

// Sends the bytes and reads everything until the server closes the connection.
QByteArray exchange(quint16 port, const QByteArray& request) {
    QTcpSocket socket;
    socket.connectToHost(QHostAddress::LocalHost, port);
    if (!socket.waitForConnected(5000))
        return {};
    socket.write(request);
    QByteArray reply;
    while (socket.state() == QAbstractSocket::ConnectedState && socket.waitForReadyRead(8000))
        reply += socket.readAll();
    return reply + socket.readAll();
}

int statusOf(const QByteArray& reply) {
    return reply.split(' ').value(1).toInt();
}

QByteArray getRequest(const QByteArray& path, const QByteArray& host = "127.0.0.1") {
    return "GET " + path + " HTTP/1.1\r\nHost: " + host + "\r\n\r\n";
}

// A page's connection to the event socket, with the messages it got as JSON.
struct Viewer {
    QWebSocket socket;
    QList<QJsonObject> messages;

    explicit Viewer(const QString& url) {
        QObject::connect(&socket, &QWebSocket::textMessageReceived, [this](const QString& text) {
            messages.append(QJsonDocument::fromJson(text.toUtf8()).object());
        });
        socket.open(QUrl(url));
    }
    QList<qint64> sequences() const {
        QList<qint64> seqs;
        for (const QJsonObject& message : messages)
            seqs.append(message.value("seq").toInteger(-1));
        return seqs;
    }
};

} // namespace

class TestLiveServer : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup() { server_.reset(); }
    void requests_data();
    void requests();
    void aNeverFinishedRequestIsClosed();
    void viewersGetEveryEventOnceInOrder();
    void pingIsAnsweredWithTheWatch();
    void viewersBeyondTheLimitAreRefused();
    void aTakenPortMovesOn();
    void theBoardFollowsEveryStation();
    void sharingLetsOtherNamesIn();
    void missedEventsAreResentOnlyWhenAllAreHeld_data();
    void missedEventsAreResentOnlyWhenAllAreHeld();
    void remoteDevicesArePairedByTheLink();
    void remoteLapsAreTimedAtTheTouch();
    void remoteStartAndStopOnlyWhereAllowed();

private:
    QString eventsUrl(const QString& query = {}, const QString& path = "/events") const {
        return QString("ws://127.0.0.1:%1%2%3").arg(server_->port()).arg(path, query);
    }
    QString remoteUrl(const QString& token) const {
        return QString("ws://127.0.0.1:%1/remote-events?token=%2").arg(server_->port()).arg(token);
    }
    QString pairingToken() const {
        return QUrlQuery(server_->remoteLink().fragment()).queryItemValue("token");
    }

    std::unique_ptr<LiveServer> server_;
};

void TestLiveServer::init() {
    server_ = std::make_unique<LiveServer>();
    QVERIFY(server_->start({kFirstPort, false, 2}));
}

// Only GETs of the built-in paths, for this computer's own names, with a bounded head; every
// answer forbids inline script and sniffing.
void TestLiveServer::requests_data() {
    QTest::addColumn<QByteArray>("request");
    QTest::addColumn<int>("status");
    QTest::addColumn<QByteArray>("header");
    const QByteArray csp = "Content-Security-Policy: default-src 'self'; connect-src 'self'";
    QTest::newRow("page") << getRequest("/") << 200 << csp;
    QTest::newRow("script") << getRequest("/app.js") << 200
                            << QByteArray("Content-Type: text/javascript");
    QTest::newRow("localhost with a port") << getRequest("/", "localhost:8765") << 200
                                           << QByteArray("X-Content-Type-Options: nosniff");
    QTest::newRow("IPv6 loopback") << getRequest("/", "[::1]:8765") << 200 << csp;
    QTest::newRow("run as JSON") << getRequest("/run.json?x=1") << 200
                                 << QByteArray("Content-Type: application/json");
    QTest::newRow("run as CSV") << getRequest("/run.csv") << 200
                                << QByteArray("Content-Type: text/csv");
    QTest::newRow("missing script") << getRequest("/nothing.js") << 404 << csp;
    QTest::newRow("traversal") << getRequest("/../../etc/passwd") << 404 << csp;
    QTest::newRow("encoded traversal") << getRequest("/%2e%2e/etc/passwd") << 404 << csp;
    QTest::newRow("resource path") << getRequest("/live/index.html") << 404 << csp;
    QTest::newRow("POST") << QByteArray("POST /run.json HTTP/1.1\r\nHost: localhost\r\n"
                                        "Content-Length: 2\r\n\r\n{}")
                          << 405 << QByteArray("Allow: GET");
    QTest::newRow("HEAD") << QByteArray("HEAD / HTTP/1.1\r\nHost: localhost\r\n\r\n") << 405
                          << QByteArray("Allow: GET");
    QTest::newRow("foreign host") << getRequest("/run.json", "attacker.example") << 403 << csp;
    QTest::newRow("foreign host on loopback's port")
        << getRequest("/", "attacker.example:8765") << 403 << csp;
    QTest::newRow("no host") << QByteArray("GET / HTTP/1.1\r\n\r\n") << 400 << csp;
    QTest::newRow("second request behind the first")
        << getRequest("/") + getRequest("/run.json") << 400 << csp;
    QTest::newRow("events without upgrade") << getRequest("/events") << 426 << csp;
    QTest::newRow("board as JSON")
        << getRequest("/board.json") << 200 << QByteArray("Content-Type: application/json");
    QTest::newRow("board events without upgrade") << getRequest("/board-events") << 426 << csp;
    QTest::newRow("remote page not allowed") << getRequest("/remote") << 404 << csp;
    QTest::newRow("remote socket not allowed")
        << QByteArray("GET /remote-events HTTP/1.1\r\nHost: localhost\r\nUpgrade: websocket\r\n"
                      "Connection: Upgrade\r\n\r\n")
        << 404 << csp;
    QTest::newRow("64 KiB header")
        << "GET / HTTP/1.1\r\nHost: localhost\r\nX-Big: " + QByteArray(64 * 1024, 'a') + "\r\n\r\n"
        << 431 << csp;
    QByteArray manyHeaders = "GET / HTTP/1.1\r\nHost: localhost\r\n";
    for (int i = 0; i < 100; ++i)
        manyHeaders += "X-" + QByteArray::number(i) + ": 1\r\n";
    QTest::newRow("100 headers") << manyHeaders + "\r\n" << 431 << csp;
}

void TestLiveServer::requests() {
    QFETCH(QByteArray, request);
    QFETCH(int, status);
    QFETCH(QByteArray, header);
    const QByteArray reply = exchange(server_->port(), request);
    QCOMPARE(statusOf(reply), status);
    QVERIFY2(reply.contains("\r\n" + header), reply.left(600).constData());
}

void TestLiveServer::aNeverFinishedRequestIsClosed() {
    QTcpSocket socket;
    socket.connectToHost(QHostAddress::LocalHost, server_->port());
    QVERIFY(socket.waitForConnected(5000));
    socket.write("GET / HTTP/1.1\r\nHost: localhost\r\n");
    QTRY_COMPARE_WITH_TIMEOUT(socket.state(), QAbstractSocket::UnconnectedState, 10000);
    QCOMPARE(statusOf(socket.readAll()), 408);
}

// A viewer gets the run so far, then each event once, in order; one that comes back within
// the session gets only what it missed; one from another session gets the run again.
void TestLiveServer::viewersGetEveryEventOnceInOrder() {
    server_.reset(new LiveServer);
    QVERIFY(server_->start({kFirstPort, false, 8}));
    for (int lap = 1; lap <= 3; ++lap)
        server_->publish(lapEvent(lap, lap));
    Viewer first(eventsUrl());
    QTRY_COMPARE(first.messages.size(), 1);
    const QJsonObject snapshot = first.messages.first();
    QCOMPARE(snapshot.value("type").toString(), "snapshot");
    QCOMPARE(snapshot.value("session").toString(), server_->session());
    QCOMPARE(snapshot.value("run").toObject().value("mixRows").toArray().size(), 3);
    QCOMPARE(snapshot.value("run").toObject().value("seq").toInteger(), 3);

    server_->publish(lapEvent(4, 4));
    server_->publish(lapEvent(5, 5));
    QTRY_COMPARE(first.sequences(), (QList<qint64>{-1, 4, 5}));
    QCOMPARE(first.messages.last().value("type").toString(), "lap");

    Viewer back(eventsUrl("?since=3&session=" + server_->session()));
    Viewer stranger(eventsUrl("?since=3&session=0123456789abcdef"));
    QTRY_COMPARE(back.sequences(), (QList<qint64>{4, 5}));
    QTRY_COMPARE(stranger.messages.size(), 1);
    server_->publish(lapEvent(6, 6));
    QTRY_COMPARE(back.sequences(), (QList<qint64>{4, 5, 6}));
    QTRY_COMPARE(stranger.sequences(), (QList<qint64>{-1, 6}));
    QCOMPARE(stranger.messages.first().value("type").toString(), "snapshot");
    QCOMPARE(first.sequences(), (QList<qint64>{-1, 4, 5, 6}));
}

void TestLiveServer::pingIsAnsweredWithTheWatch() {
    server_->setWatchTotal([] { return 61040; });
    server_->publish(lapEvent(1, 1));
    Viewer viewer(eventsUrl());
    QTRY_COMPARE(viewer.messages.size(), 1);
    viewer.socket.sendTextMessage(R"({"type":"ping","t":1234.5})");
    QTRY_COMPARE(viewer.messages.size(), 2);
    const QJsonObject pong = viewer.messages.last();
    QCOMPARE(pong.value("type").toString(), "pong");
    QCOMPARE(pong.value("t").toDouble(), 1234.5);
    QCOMPARE(pong.value("total").toInt(), 61040);
    QCOMPARE(pong.value("running").toBool(), true);
}

void TestLiveServer::viewersBeyondTheLimitAreRefused() {
    QSignalSpy viewers(server_.get(), &LiveServer::viewersChanged);
    Viewer first(eventsUrl());
    Viewer second(eventsUrl());
    QTRY_COMPARE(viewers.size(), 2);
    QCOMPARE(viewers.last().first().toInt(), 2);
    Viewer third(eventsUrl());
    QSignalSpy admitted(&third.socket, &QWebSocket::connected);
    QSignalSpy refused(&third.socket, &QWebSocket::disconnected);
    QTRY_VERIFY(!refused.isEmpty());
    QVERIFY(admitted.isEmpty());
    first.socket.close();
    QTRY_COMPARE(viewers.last().first().toInt(), 1);
}

void TestLiveServer::aTakenPortMovesOn() {
    QTcpServer holder;
    QVERIFY(holder.listen(QHostAddress::LocalHost, server_->port() + 1));
    LiveServer second;
    QVERIFY(second.start({server_->port(), false, 1}));
    QVERIFY(second.port() > holder.serverPort());
    QCOMPARE(second.addresses(),
             QList<QUrl>{QUrl(QString("http://127.0.0.1:%1/").arg(second.port()))});
    QCOMPARE(statusOf(exchange(second.port(), getRequest("/"))), 200);
}

// A board viewer gets every station's run first, then each station's new run or its removal;
// the run's own viewers hear nothing of it, and the board's hear nothing of the run's events.
void TestLiveServer::theBoardFollowsEveryStation() {
    server_->feedBoard();
    server_->takeBoardRun("track", R"({"state":"running","total":500})");
    Viewer board(eventsUrl({}, "/board-events"));
    Viewer run(eventsUrl());
    QTRY_COMPARE(board.messages.size(), 1);
    QTRY_COMPARE(run.messages.size(), 1);
    const QJsonObject first = board.messages.first();
    QCOMPARE(first["type"].toString(), "board");
    QCOMPARE(first["broker"].toBool(), true);
    QCOMPARE(first["stations"].toArray().size(), 1);
    QCOMPARE(first["stations"][0]["run"]["total"].toInt(), 500);

    server_->takeBoardRun("finish", R"({"state":"idle"})");
    server_->takeBoardRun("finish", "not a run");
    server_->publish(lapEvent(1, 1));
    server_->takeBoardRun("track", {});
    QTRY_COMPARE(board.messages.size(), 3);
    QCOMPARE(board.messages[1]["type"].toString(), "station");
    QCOMPARE(board.messages[1]["station"].toString(), "finish");
    QCOMPARE(board.messages[2]["type"].toString(), "removed");
    QCOMPARE(board.messages[2]["station"].toString(), "track");
    QTRY_COMPARE(run.sequences(), (QList<qint64>{-1, 1}));

    board.socket.sendTextMessage(R"({"type":"ping","t":7})");
    QTRY_COMPARE(board.messages.size(), 4);
    const qint64 now = QDateTime::currentMSecsSinceEpoch();
    QVERIFY(qAbs(board.messages.last()["now"].toInteger() - now) < 60000);
    const QByteArray reply = exchange(server_->port(), getRequest("/board.json"));
    const QJsonObject json =
        QJsonDocument::fromJson(reply.mid(reply.indexOf("\r\n\r\n") + 4)).object();
    QCOMPARE(json["stations"].toArray().size(), 1);
    QCOMPARE(json["stations"][0]["station"].toString(), "finish");
}

// Shared, the server answers pages that reach it by any of the computer's names, on the same
// port; no longer shared, only by its loopback names again.
void TestLiveServer::sharingLetsOtherNamesIn() {
    const quint16 port = server_->port();
    const QByteArray byName =
        getRequest("/run.json", "timing-pc.local:" + QByteArray::number(port));
    server_->setShare(true);
    QCOMPARE(server_->port(), port);
    QCOMPARE(statusOf(exchange(port, byName)), 200);
    for (const QUrl& address : server_->addresses())
        QVERIFY2(!QHostAddress(address.host()).isLoopback(), qPrintable(address.toString()));
    server_->setShare(false);
    QCOMPARE(statusOf(exchange(port, byName)), 403);
    QCOMPARE(server_->addresses().size(), 1);
}

// A page may be sent what it missed only when the log still holds every one of those events;
// otherwise (some forgotten, or a sequence the log never had) it must get the whole run.
void TestLiveServer::missedEventsAreResentOnlyWhenAllAreHeld_data() {
    QTest::addColumn<int>("since");
    QTest::addColumn<QStringList>("resent"); // {"none"}: the whole run instead
    QTest::newRow("one of them forgotten") << 1 << QStringList{"none"};
    QTest::newRow("all held") << 2 << QStringList{"3", "4", "5"};
    QTest::newRow("up to date") << 5 << QStringList{};
    QTest::newRow("ahead of the log") << 6 << QStringList{"none"};
}

void TestLiveServer::missedEventsAreResentOnlyWhenAllAreHeld() {
    QFETCH(int, since);
    QFETCH(QStringList, resent);
    EventLog log(3);
    for (quint64 sequence = 1; sequence <= 5; ++sequence)
        log.append(sequence, QString::number(sequence));
    QCOMPARE(log.after(quint64(since)).value_or(QStringList{"none"}), resent);
}

// Only a device with the link's token is let in; a new link lets every paired device go and
// refuses the old token; without the permission nothing of the remote is served.
void TestLiveServer::remoteDevicesArePairedByTheLink() {
    ManualClock clock(50'000);
    server_->acceptRemotePresses(clock, [](RemoteAction, int, quint32) { return true; });
    QVERIFY(server_->remoteLink().isEmpty());
    server_->setRemoteAllowed(true);
    const QUrl link = server_->remoteLink();
    QCOMPARE(link.path(), "/remote");
    const QString token = pairingToken();
    QCOMPARE(token.size(), 32);
    QCOMPARE(statusOf(exchange(server_->port(), getRequest("/remote"))), 200);

    QSignalSpy devices(server_.get(), &LiveServer::remoteDevicesChanged);
    Viewer paired(remoteUrl(token));
    Viewer stranger(remoteUrl(QString(token).replace(0, 1, token[0] == '0' ? "1" : "0")));
    Viewer unpaired(remoteUrl({}));
    QTRY_COMPARE(paired.messages.size(), 1);
    QCOMPARE(paired.messages.first().value("type").toString(), "welcome");
    paired.socket.sendTextMessage(R"({"type":"name","name":"  Finish   line "})");
    QTRY_COMPARE(devices.last().first().toStringList(), QStringList{"Finish line"});
    for (Viewer* refused : {&stranger, &unpaired}) {
        QTRY_COMPARE(refused->socket.state(), QAbstractSocket::UnconnectedState);
        QCOMPARE(refused->socket.closeCode(), QWebSocketProtocol::CloseCodePolicyViolated);
        QVERIFY(refused->messages.isEmpty());
    }

    paired.socket.sendTextMessage(R"({"type":"sync","t":12.5})");
    QTRY_COMPARE(paired.messages.size(), 2);
    QCOMPARE(paired.messages.last().value("t").toDouble(), 12.5);
    QCOMPARE(paired.messages.last().value("clock").toDouble(), 50'000.0);

    server_->newRemoteLink();
    QVERIFY(server_->remoteLink() != link);
    QTRY_COMPARE(paired.socket.state(), QAbstractSocket::UnconnectedState);
    QCOMPARE(paired.socket.closeCode(), QWebSocketProtocol::CloseCodePolicyViolated);
    QTRY_COMPARE(devices.last().first().toStringList(), QStringList());
    Viewer revoked(remoteUrl(token));
    QTRY_COMPARE(revoked.socket.state(), QAbstractSocket::UnconnectedState);
    QCOMPARE(revoked.socket.closeCode(), QWebSocketProtocol::CloseCodePolicyViolated);

    server_->setRemoteAllowed(false);
    QVERIFY(server_->remoteLink().isEmpty());
    QCOMPARE(statusOf(exchange(server_->port(), getRequest("/remote"))), 404);
}

// A lap is timed at the device's touch when that lies between the run's previous press and
// now, else at its arrival, which is counted; the device is told which.
void TestLiveServer::remoteLapsAreTimedAtTheTouch() {
    ManualClock clock(100'000);
    QList<std::pair<int, quint32>> laps;
    server_->acceptRemotePresses(clock, [&laps](RemoteAction, int competitor, quint32 reading) {
        laps.append({competitor, reading});
        return true;
    });
    server_->setRemoteAllowed(true);
    server_->publish(lapEvent(1, 1)); // the run's latest press, at 100 000
    clock.set(100'900);
    Viewer device(remoteUrl(pairingToken()));
    QTRY_COMPARE(device.messages.size(), 1);

    device.socket.sendTextMessage(R"({"type":"lap","competitor":2,"id":7,"at":100500})");
    QTRY_COMPARE(laps.size(), 1);
    QCOMPARE(laps.last(), std::make_pair(2, 100'500u));
    QTRY_COMPARE(device.messages.size(), 2);
    const QJsonObject answer = device.messages.last();
    QCOMPARE(answer.value("type").toString(), "pressed");
    QCOMPARE(answer.value("id").toInt(), 7);
    QCOMPARE(answer.value("done").toBool(), true);
    QCOMPARE(answer.value("atArrival").toBool(), false);

    device.socket.sendTextMessage(R"({"type":"lap","competitor":3,"id":8,"at":99000})");
    QTRY_COMPARE(laps.size(), 2);
    QCOMPARE(laps.last(), std::make_pair(3, 100'900u));
    QCOMPARE(server_->remotePressesAtArrival(), 1);
    QTRY_COMPARE(device.messages.size(), 3);
    QCOMPARE(device.messages.last().value("atArrival").toBool(), true);
}

// A device may start and stop the watch only while the operator allows it, and is told at once
// when that changes; a refused press is answered "not done" and never reaches the run.
void TestLiveServer::remoteStartAndStopOnlyWhereAllowed() {
    ManualClock clock(5'000);
    QList<std::pair<RemoteAction, quint32>> taken;
    server_->acceptRemotePresses(clock, [&taken](RemoteAction action, int, quint32 reading) {
        taken.append({action, reading});
        return true;
    });
    server_->setRemoteAllowed(true);
    Viewer device(remoteUrl(pairingToken()));
    QTRY_COMPARE(device.messages.size(), 1);
    QCOMPARE(device.messages.last().value("startStop").toBool(true), false);

    device.socket.sendTextMessage(R"({"type":"start","id":1,"at":4000})");
    QTRY_COMPARE(device.messages.size(), 2);
    QCOMPARE(device.messages.last().value("done").toBool(true), false);

    server_->setRemoteStartStop(true);
    QTRY_COMPARE(device.messages.size(), 3);
    QCOMPARE(device.messages.last().value("type").toString(), "controls");
    QCOMPARE(device.messages.last().value("startStop").toBool(), true);
    clock.set(6'000);
    device.socket.sendTextMessage(R"({"type":"start","id":2,"at":5500})");
    device.socket.sendTextMessage(R"({"type":"stop","id":3})");
    QTRY_COMPARE(taken.size(), 2);
    QVERIFY(taken[0] == std::make_pair(RemoteAction::Start, 5'500u));
    QVERIFY(taken[1] == std::make_pair(RemoteAction::Stop, 6'000u)); // no touch time: at arrival
    QTRY_COMPARE(device.messages.size(), 5);
    QCOMPARE(device.messages.last().value("done").toBool(), true);
}

QTEST_GUILESS_MAIN(TestLiveServer)
#include "tst_liveserver.moc"
