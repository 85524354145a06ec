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

// The colour that covers most of a picture: a button's face, around its caption.
QColor dominantColor(const QImage& image) {
    QHash<QRgb, int> counts;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            ++counts[image.pixel(x, y)];
    const auto most = std::max_element(counts.cbegin(), counts.cend());
    return QColor::fromRgb(most.key());
}

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

    // Every command button shows the face the design gives it by its caption: most share one
    // light face, a few groups have their own, and the hotkey "OK" buttons of the laps' row,
    // the last three, have the face of "stop".
    void buttonFacesByCaption() {
        AppFixture app;
        const QColor common(226, 234, 221), stop(221, 225, 187), gridSide(223, 224, 211);
        const QMap<QString, QColor> designed{
            {"stop", stop},
            {"LAP 1", stop},
            {"Copy", gridSide},
            {"Paste", gridSide},
            {"Sort", gridSide},
            {"undo (Total Sort)", gridSide},
            {"Num", gridSide},
            {"S D", gridSide},
            {"Del", QColor(216, 241, 194)},
            {"copylap1", QColor(77, 86, 176)},
            {"copylap2", QColor(77, 86, 176)},
            {"copylap3", QColor(77, 86, 176)},
            {"READ LAP(&L)", QColor(165, 109, 88)},
            {"Read ClipBoard(&P)", QColor(159, 54, 49)},
            {"Real(&R)", QColor(204, 102, 0)},
        };
        QList<TCuteButton*> buttons = app.window->findChildren<TCuteButton*>();
        QList<TCuteButton*> okButtons;
        for (TCuteButton* button : buttons)
            if (button->text() == "OK")
                okButtons << button;
        std::sort(okButtons.begin(), okButtons.end(), [&app](QWidget* a, QWidget* b) {
            const QPoint at = a->mapTo(app.window.get(), QPoint()),
                         bt = b->mapTo(app.window.get(), QPoint());
            return std::pair(at.y(), at.x()) < std::pair(bt.y(), bt.x());
        });
        const QList<TCuteButton*> lapRowOks = okButtons.mid(okButtons.size() - 3);
        // Two buttons read "undo": the grid's recording-order sort and the names' reset.
        const auto captionOf = [](const TCuteButton* button) {
            return button->text() == "undo" ? QString("undo (%1)").arg(button->toolTip())
                                            : button->text();
        };
        QStringList wrong;
        QSet<QString> captionsSeen;
        for (TCuteButton* button : buttons) {
            const QString caption = captionOf(button);
            QColor expected = designed.value(caption, common);
            if (lapRowOks.contains(button))
                expected = stop;
            if (designed.contains(caption))
                captionsSeen.insert(caption);
            const QColor face = dominantColor(button->grab().toImage());
            if (face != expected)
                wrong << QString("%1 \"%2\": %3")
                             .arg(button->objectName(), button->text(), face.name());
        }
        QVERIFY2(wrong.isEmpty(), qPrintable(wrong.join("; ")));
        QCOMPARE(captionsSeen, QSet<QString>(designed.keyBegin(), designed.keyEnd()));
        QCOMPARE(lapRowOks.size(), 3);
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
