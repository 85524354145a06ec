#include "AppFixture.h"
#include "TAppHintN.h"
#include "TCuteButton.h"
#include "TForm3.h"
#include "TShineSpeedButton.h"

#include <QDesktopServices>
#include <QLabel>
#include <QMenu>
#include <QSignalSpy>
#include <QTimer>

// Receives the links the desktop is asked to open.
class UrlRecorder : public QObject {
    Q_OBJECT
public:
    QList<QUrl> opened;
public slots:
    void open(const QUrl& url) { opened << url; }
};

class TestWindowControls : public QObject {
    Q_OBJECT
private slots:
    void cleanup() { delete TForm3::current(); }

    void buttonFaces_data() {
        QTest::addColumn<QByteArray>("button");
        QTest::addColumn<QColor>("face");
        QTest::newRow("start") << QByteArray("start") << QColor(226, 234, 221);
        QTest::newRow("stop") << QByteArray("stop") << QColor(221, 225, 187);
        QTest::newRow("Copy") << QByteArray("CuteButton3") << QColor(223, 224, 211);
        QTest::newRow("hotkey Del") << QByteArray("CuteButton12") << QColor(216, 241, 194);
        QTest::newRow("copylap1") << QByteArray("CuteButton35") << QColor(77, 86, 176);
        QTest::newRow("READ LAP") << QByteArray("Lapread") << QColor(165, 109, 88);
    }
    void buttonFaces() {
        QFETCH(QByteArray, button);
        QFETCH(QColor, face);
        AppFixture app;
        auto* shown = app.control<TCuteButton>(button.constData());
        QCOMPARE(shown->grab().toImage().pixelColor(3, 3), face);
    }

    void menuChecksAtStart() {
        AppFixture app;
        QMenu* menu = app.openMenu();
        const QImage painted = menu->grab().toImage();
        const QColor mark = menu->palette().color(QPalette::Text);
        QStringList checked;
        for (QAction* item : menu->actions()) {
            const QRect area = menu->actionGeometry(item);
            QCOMPARE(painted.pixelColor(area.left() + 30, area.top() + 1), QColor(179, 179, 255));
            if (!item->isSeparator() && painted.pixelColor(area.left() + 2, area.top() + 8) == mark)
                checked << item->text();
        }
        QCOMPARE(checked, (QStringList{"ReadLapbyKey", "AutoScroll", "Voice"}));
        menu->close();
    }

    void aboutOpensOneWindowUntilExit() {
        AppFixture app;
        app.click("CuteButton40");
        TForm3* first = TForm3::current();
        QVERIFY(first && first->isVisible());
        app.chooseFromMenu("About1");
        QCOMPARE(TForm3::current(), first);
        QTest::mouseClick(first->ShineSpeedButton1, Qt::LeftButton);
        QCOMPARE(TForm3::current(), nullptr);
        app.chooseFromMenu("About1");
        QVERIFY(TForm3::current() && TForm3::current()->isVisible());
    }

    // "ReadLapbyKey", checked at start, takes the read commands' accelerators away and back.
    void readLapByKeyTogglesTheAccelerators() {
        AppFixture app;
        const auto captions = [&app] {
            QStringList texts;
            for (const char* name : {"Lapread", "Clipread", "Real"})
                texts << app.control<QAbstractButton>(name)->text();
            return texts;
        };
        app.chooseFromMenu("LapReadKey1");
        QCOMPARE(captions(), (QStringList{"LAP READ", "ClipBoard Read", "Real"}));
        app.chooseFromMenu("LapReadKey1");
        QCOMPARE(captions(), (QStringList{"LAP READ(&L)", "ClipBoard Read(&P)", "Real(&R)"}));
    }

    // The About window stands beside the main window: closing the main window still ends the
    // program's event loop.
    void closingTheMainWindowEndsTheProgramWithAboutOpen() {
        AppFixture app;
        app.click("CuteButton40");
        QVERIFY(TForm3::current() && TForm3::current()->isVisible());
        QSignalSpy lastClosed(qApp, &QGuiApplication::lastWindowClosed);
        QTimer fallback; // ends a loop that the closing window failed to end
        fallback.setSingleShot(true);
        connect(&fallback, &QTimer::timeout, qApp, &QCoreApplication::quit);
        fallback.start(5000);
        QTimer::singleShot(0, app.window.get(), [&app] { app.window->close(); });
        QApplication::exec();
        QCOMPARE(lastClosed.count(), 1);
        QVERIFY(fallback.isActive());
    }

    void linksGoToTheDesktop() {
        AppFixture app;
        UrlRecorder recorder;
        QDesktopServices::setUrlHandler("https", &recorder, "open");
        QDesktopServices::setUrlHandler("mailto", &recorder, "open");
        app.click("CuteButton40");
        QTest::mouseClick(TForm3::current()->Label2, Qt::LeftButton);
        QTest::mouseClick(TForm3::current()->Label3, Qt::LeftButton);
        QDesktopServices::unsetUrlHandler("https");
        QDesktopServices::unsetUrlHandler("mailto");
        QCOMPARE(
            recorder.opened,
            (QList<QUrl>{QUrl(TForm3::kProjectPage),
                         QUrl(QString("mailto:%1?Subject=KelvoLS").arg(TForm3::kContactAddress))}));
    }

    void balloonForAHintedButton_data() {
        QTest::addColumn<QByteArray>("button");
        QTest::addColumn<QString>("hint");
        QTest::newRow("enabled") << QByteArray("CuteButton44") << "Menu(SaveDialog)";
        QTest::newRow("disabled") << QByteArray("CuteButton22") << "Fast representation";
    }
    void balloonForAHintedButton() {
        QFETCH(QByteArray, button);
        QFETCH(QString, hint);
        AppFixture app;
        auto* hints = app.window->findChild<TAppHintN*>("AppHintN1");
        QVERIFY(hints);
        QCOMPARE(TAppHintN::HintPause(), 500);
        QCOMPARE(TAppHintN::HintHidePause(), 2500);
        QVERIFY(!hints->ShadowVisible());
        QWidget* plain = app.control("start"); // no hint
        QTest::mouseMove(plain, plain->rect().center());
        QWidget* hinted = app.control(button.constData());
        QTest::mouseMove(hinted, hinted->rect().center());
        QTRY_VERIFY(hints->shownHint());
        QCOMPARE(hints->shownHint()->text(), hint);
        QVERIFY(!hints->shownHint()->mask().contains(QPoint(2, 4)));
        QVERIFY(hints->shownHint()->mask().contains(QPoint(12, 4)));
    }
};

QTEST_MAIN(TestWindowControls)
#include "tst_window_controls.moc"
