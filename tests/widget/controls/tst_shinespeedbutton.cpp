#include "TShineSpeedButton.h"

#include <QSignalSpy>
#include <QTest>

using kelvos::ShineState;

namespace {
struct Stage {
    Stage() {
        window.setGeometry(200, 200, 200, 60);
        button = new TShineSpeedButton(&window);
        button->setCaption("Exit");
        button->setGeometry(10, 10, 52, 25);
        other = new TShineSpeedButton(&window);
        other->setGeometry(110, 10, 52, 25);
        window.show();
        window.activateWindow();
        if (!QTest::qWaitForWindowActive(&window))
            qFatal("the test window did not become active");
        QTest::mouseMove(other, other->rect().center());
    }
    void hover() { QTest::mouseMove(button, button->rect().center()); }

    QWidget window;
    TShineSpeedButton* button;
    TShineSpeedButton* other;
};
} // namespace

class TestShineSpeedButton : public QObject {
    Q_OBJECT
private slots:
    void hoverPressAndRelease() {
        Stage stage;
        QSignalSpy clicked(stage.button, &TShineSpeedButton::clicked);
        stage.hover();
        QCOMPARE(stage.button->state(), ShineState::Hovered);
        const QRect upCaption = stage.button->captionRect();
        QTest::mousePress(stage.button, Qt::LeftButton);
        QCOMPARE(stage.button->state(), ShineState::HoveredPressed);
        QCOMPARE(stage.button->captionRect(), upCaption.translated(1, 1));
        QTest::mouseRelease(stage.button, Qt::LeftButton);
        QCOMPARE(clicked.count(), 1);
        QTest::mouseMove(stage.other, stage.other->rect().center());
        QCOMPARE(stage.button->state(), ShineState::Up);
    }

    void pressDragOutReleaseDoesNotClick() {
        Stage stage;
        QSignalSpy clicked(stage.button, &TShineSpeedButton::clicked);
        stage.hover();
        QTest::mousePress(stage.button, Qt::LeftButton);
        QTest::mouseMove(stage.button, QPoint(80, 12));
        QCOMPARE(stage.button->state(), ShineState::Up);
        QTest::mouseRelease(stage.button, Qt::LeftButton, {}, QPoint(80, 12));
        QCOMPARE(clicked.count(), 0);
        QCOMPARE(stage.button->state(), ShineState::Up);
    }

    void missedLeaveIsCaughtByTheHoverTimer() {
        Stage stage;
        QCursor::setPos(stage.window.mapToGlobal(QPoint(190, 55)));
        QEnterEvent enter(QPointF(5, 5), QPointF(5, 5), QPointF(5, 5));
        QCoreApplication::sendEvent(stage.button, &enter); // the pointer passes without a leave
        QCOMPARE(stage.button->state(), ShineState::Hovered);
        QTRY_COMPARE_WITH_TIMEOUT(stage.button->state(), ShineState::Up, 1000);
    }

    void hoverKeepsTheFaceWithoutActiveColors() {
        Stage stage;
        stage.button->Colors().setColor(QColor(225, 200, 174));
        stage.button->ActiveColors().setColor(QColor(0, 0, 0));
        stage.hover();
        QCOMPARE(stage.button->grab().toImage().pixelColor(10, 12), QColor(225, 200, 174));
    }

    void gradientFace() {
        TShineSpeedButton button;
        button.resize(10, 25);
        button.Colors().setColor(Qt::black);
        button.Colors().setGradColor(Qt::white);
        button.Colors().setGradation(true);
        const QImage face = button.grab().toImage();
        QCOMPARE(face.pixelColor(3, 12), QColor(76, 76, 76));
        QCOMPARE(face.pixelColor(5, 12), QColor(127, 127, 127));
    }

    void groupKeepsOneDown() {
        Stage stage;
        stage.button->setGroupIndex(1);
        stage.other->setGroupIndex(1);
        QTest::mouseClick(stage.button, Qt::LeftButton);
        QVERIFY(stage.button->Down());
        QTest::mouseClick(stage.other, Qt::LeftButton);
        QVERIFY(stage.other->Down());
        QVERIFY(!stage.button->Down());
        QCOMPARE(stage.button->state(), ShineState::Up);
    }
};

QTEST_MAIN(TestShineSpeedButton)
#include "tst_shinespeedbutton.moc"
