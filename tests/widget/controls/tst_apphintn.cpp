#include "TAppHintN.h"

#include <QLabel>
#include <QTest>

using kelvos::HintStyle;

namespace {
struct Stage {
    Stage() {
        window.resize(300, 100);
        hinted = new QLabel("hinted", &window);
        hinted->setGeometry(10, 10, 100, 30);
        hinted->setToolTip("Fast representation");
        plain = new QLabel("plain", &window);
        plain->setGeometry(150, 10, 100, 30);
        window.show();
        window.activateWindow();
        if (!QTest::qWaitForWindowActive(&window))
            qFatal("the test window did not become active");
    }
    // The pointer arrives at the hinted control from one without a hint.
    void pointToHinted() {
        QTest::mouseMove(plain, plain->rect().center());
        QTest::mouseMove(hinted, hinted->rect().center());
    }
    QWidget window;
    QLabel* hinted;
    QLabel* plain;
};
} // namespace

class TestAppHintN : public QObject {
    Q_OBJECT
private slots:
    void init() {
        TAppHintN::setHintPause(100);
        TAppHintN::setHintHidePause(300);
        TAppHintN::setHintShortPause(0);
    }

    void balloonShowsAfterThePauseAndHides() {
        Stage stage;
        TAppHintN hints;
        stage.pointToHinted();
        QVERIFY(!hints.shownHint()); // not before the pause
        QTRY_VERIFY(hints.shownHint());
        THintEx* balloon = hints.shownHint();
        QCOMPARE(balloon->text(), QString("Fast representation"));
        const QRegion mask = balloon->mask();
        QVERIFY(mask.contains(QPoint(12, 5))); // the tail
        QVERIFY(!mask.contains(QPoint(3, 5))); // beside the tail
        QVERIFY(mask.contains(QPoint(3, 12))); // the body
        QTRY_VERIFY(!hints.shownHint());       // after the hide pause
    }

    void pointerOffTheControlHidesTheHint() {
        Stage stage;
        TAppHintN hints;
        stage.pointToHinted();
        QTRY_VERIFY(hints.shownHint());
        QTest::mouseMove(stage.plain, stage.plain->rect().center());
        QVERIFY(!hints.shownHint());
    }

    // A hint that has timed out shows again after the pause when the pointer moves on the
    // control, or comes back to it from another one.
    void timedOutHintShowsAgain_data() {
        QTest::addColumn<bool>("viaAnotherControl");
        QTest::newRow("moved on the control") << false;
        QTest::newRow("back from another control") << true;
    }
    void timedOutHintShowsAgain() {
        QFETCH(bool, viaAnotherControl);
        Stage stage;
        TAppHintN hints;
        stage.pointToHinted();
        QTRY_VERIFY(hints.shownHint());
        QTRY_VERIFY(!hints.shownHint()); // the hide pause
        if (viaAnotherControl)
            stage.pointToHinted();
        else
            QTest::mouseMove(stage.hinted, stage.hinted->rect().center() + QPoint(3, 0));
        QVERIFY(!hints.shownHint()); // not before the pause
        QTRY_VERIFY(hints.shownHint());
    }

    void shadowTextOnlyWhenVisible_data() {
        QTest::addColumn<bool>("shadowVisible");
        QTest::newRow("shadow") << true;
        QTest::newRow("no shadow") << false;
    }
    void shadowTextOnlyWhenVisible() {
        QFETCH(bool, shadowVisible);
        Stage stage;
        TAppHintN hints;
        hints.setShadowVisible(shadowVisible);
        hints.setShadowColor(QColor(255, 0, 0));
        stage.pointToHinted();
        QTRY_VERIFY(hints.shownHint());
        const QImage shown = hints.shownHint()->grab().toImage();
        bool shadowSeen = false;
        for (int y = 0; y < shown.height(); ++y)
            for (int x = 0; x < shown.width(); ++x)
                shadowSeen |= shown.pixelColor(x, y) == QColor(255, 0, 0);
        QCOMPARE(shadowSeen, shadowVisible);
    }

    void newestInstanceIsActiveUntilDestroyed() {
        TAppHintN first;
        {
            TAppHintN second;
            QCOMPARE(TAppHintN::active(), &second);
        }
        QCOMPARE(TAppHintN::active(), nullptr);
    }
};

QTEST_MAIN(TestAppHintN)
#include "tst_apphintn.moc"
