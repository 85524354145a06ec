#include "AppFixture.h"
#include "LiveServer.h"

#include <QCheckBox>
#include <QLabel>
#include <QNetworkInterface>
#include <QProcess>
#include <QStyleOptionButton>
#include <QTimer>
#include <QWebSocket>

using kelvos::LiveServer;

namespace {
// What a phone's camera reads from the QR code the window shows.
QString readQrCode(const AppFixture& app) {
    const QString picture = app.workingDirectory.filePath("qr.png");
    if (!app.control("liveQrCode")->grab().save(picture))
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
};

QTEST_MAIN(TestLiveResults)
#include "tst_live_results.moc"
