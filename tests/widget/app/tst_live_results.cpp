#include "AppFixture.h"
#include "LiveServer.h"

#include <QCheckBox>
#include <QLabel>
#include <QListWidget>
#include <QNetworkInterface>
#include <QProcess>
#include <QPushButton>
#include <QStyleOptionButton>
#include <QTimer>
#include <QWebSocket>

using kelvos::LiveServer;

namespace {
// What a phone's camera reads from the QR code the window shows.
QString readQrCode(const AppFixture& app, const char* code = "liveQrCode") {
    const QString picture = app.workingDirectory.filePath("qr.png");
    if (!app.control(code)->grab().save(picture))
        qFatal("the QR code could not be saved");
    QProcess reader;
    reader.start("zbarimg", {"--raw", "-q", picture});
    if (!reader.waitForFinished(10000))
        qFatal("zbarimg (Debian zbar-tools) did not run");
    return QString::fromUtf8(reader.readAllStandardOutput()).trimmed();
}

bool hasNetworkAddress() {
    const auto addresses = QNetworkInterface::allAddresses();
    return std::any_of(addresses.begin(), addresses.end(),
                       [](const QHostAddress& address) { return !address.isLoopback(); });
}

void clickBox(QCheckBox* box) {
    QStyleOptionButton option;
    option.initFrom(box);
    const QRect clickable =
        box->style()->subElementRect(QStyle::SE_CheckBoxClickRect, &option, box);
    QTest::mouseClick(box, Qt::LeftButton, {}, clickable.center());
}
} // namespace

class TestLiveResults : public QObject {
    Q_OBJECT
private slots:
    // "Live results…" shows this computer's address and its QR code; "Share on the local
    // network" moves the server onto the network, shows the address a phone reaches with its
    // code, and is in the settings file a moment later and checked again at the next start.
    // Viewers that connect are counted.
    void shareShowsTheNetworkAddressAndIsKept() {
        if (!hasNetworkAddress())
            QSKIP("this machine has no network address besides the loopback");
        LiveServer server;
        QVERIFY(server.start({.port = 18765}));
        AppFixture app(AppFixture::Files{.live = &server});
        app.control<QTimer>("SettingsSaveTimer")->setInterval(20);
        app.chooseFromMenu("LiveResults1");
        QVERIFY(app.control("LiveResultsWindow")->isVisible());
        const QString loopback = QString("http://127.0.0.1:%1/").arg(server.port());
        QVERIFY2(app.text("liveAddresses").contains(loopback),
                 qPrintable(app.text("liveAddresses")));
        QCOMPARE(readQrCode(app), loopback);

        clickBox(app.control<QCheckBox>("shareCheck"));
        QVERIFY(app.control<QCheckBox>("shareCheck")->isChecked());
        QVERIFY(server.sharing());
        const QString shared = server.addresses().value(0).toString();
        QVERIFY2(!shared.contains("127.0.0.1"), qPrintable(shared));
        QVERIFY(!app.text("liveAddresses").contains(loopback));
        QVERIFY(app.text("liveAddresses").contains(shared));
        QCOMPARE(readQrCode(app), shared);
        QTRY_VERIFY2(app.settingsText().contains("[Live]\nShare=1\n"),
                     app.settingsText().constData());

        QWebSocket viewer;
        viewer.open(QUrl(QString("ws://127.0.0.1:%1/events").arg(server.port())));
        QTRY_COMPARE(app.text("liveViewers"), QString("Viewers connected: 1"));

        AppFixture again(AppFixture::Files{.settings = app.settingsText(), .live = &server});
        QVERIFY(again.control<QCheckBox>("shareCheck")->isChecked());
    }

    // "Allow remote timekeepers" shows the pairing link and its code and is kept; a device
    // paired with it is listed by its name, and told at once when it may start and stop the
    // watch; "New link" lets it go and shows another link.
    void remoteTimekeepersArePairedFromTheWindow() {
        LiveServer server;
        QVERIFY(server.start({.port = 18765}));
        AppFixture app(AppFixture::Files{.live = &server});
        app.control<QTimer>("SettingsSaveTimer")->setInterval(20);
        app.chooseFromMenu("LiveResults1");
        QVERIFY(!app.control("remoteLink")->isVisible());

        clickBox(app.control<QCheckBox>("remoteCheck"));
        QVERIFY(server.remoteAllowed());
        const QString link = server.remoteLink().toString();
        QVERIFY2(link.startsWith(QString("http://127.0.0.1:%1/remote#token=").arg(server.port())),
                 qPrintable(link));
        QVERIFY(app.text("remoteLink").contains(link));
        QCOMPARE(readQrCode(app, "remoteQrCode"), link);
        QTRY_VERIFY2(app.settingsText().contains("Remote=1\n"), app.settingsText().constData());

        QWebSocket device;
        QStringList told;
        connect(&device, &QWebSocket::textMessageReceived,
                [&told](const QString& message) { told << message; });
        const QString token = link.section("token=", 1);
        device.open(QUrl(
            QString("ws://127.0.0.1:%1/remote-events?token=%2").arg(server.port()).arg(token)));
        QTRY_COMPARE(device.state(), QAbstractSocket::ConnectedState);
        device.sendTextMessage(R"({"type":"name","name":"Gate 2"})");
        auto* devices = app.control<QListWidget>("remoteDevices");
        QTRY_COMPARE(devices->count(), 1);
        QTRY_COMPARE(devices->item(0)->text(), QString("Gate 2"));
        QVERIFY(told.value(0).contains(R"("startStop":false)"));
        clickBox(app.control<QCheckBox>("remoteStartStopCheck"));
        QTRY_VERIFY(told.last().contains(R"({"startStop":true,"type":"controls"})"));
        QTRY_VERIFY2(app.settingsText().contains("RemoteStartStop=1\n"),
                     app.settingsText().constData());

        QTest::mouseClick(app.control<QPushButton>("newLinkButton"), Qt::LeftButton);
        const QString newLink = server.remoteLink().toString();
        QVERIFY(newLink != link);
        QVERIFY(app.text("remoteLink").contains(newLink));
        QCOMPARE(readQrCode(app, "remoteQrCode"), newLink);
        QTRY_COMPARE(device.state(), QAbstractSocket::UnconnectedState);
        QTRY_COMPARE(devices->count(), 0);

        AppFixture again(AppFixture::Files{.settings = app.settingsText(), .live = &server});
        QVERIFY(again.control<QCheckBox>("remoteCheck")->isChecked());
        QVERIFY(again.control<QCheckBox>("remoteStartStopCheck")->isChecked());
    }
};

QTEST_MAIN(TestLiveResults)
#include "tst_live_results.moc"
