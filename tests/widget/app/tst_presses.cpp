// Presses through the program's own application object: each event is timed by its time stamp
// (the fake clock's reading here, as the X server stamps its events).
#include "AppFixture.h"
#include "CommaText.h"
#include "KelvosApplication.h"
#include "TStringGridEx.h"

#include <QEventLoop>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPushButton>
#include <QTimer>

namespace {

kelvos::PressTiming noPresses;

KelvosApplication* application() {
    return static_cast<KelvosApplication*>(qApp);
}

// The window, its presses timed on the fixture's fake clock.
struct PressFixture : AppFixture {
    PressFixture() { application()->setPressTiming(timing); }
    ~PressFixture() { application()->setPressTiming(noPresses); }
};

void sendMouse(AppFixture& app, QWidget* target, QEvent::Type type) {
    const QPointF centre = QRectF(target->rect()).center();
    const Qt::MouseButtons held = type == QEvent::MouseButtonPress ? Qt::LeftButton : Qt::NoButton;
    QMouseEvent event(type, centre, target->mapToGlobal(centre), Qt::LeftButton, held,
                      Qt::NoModifier);
    event.setTimestamp(app.clock.now());
    QApplication::sendEvent(target, &event);
}

// A key event on the control that has the focus, as the server sends it: a held key's repeats
// may come as plain presses.
void sendKey(AppFixture& app, Qt::Key key, QEvent::Type type) {
    QKeyEvent event(type, key, Qt::NoModifier, key == Qt::Key_Space ? " " : "\r");
    event.setTimestamp(app.clock.now());
    QApplication::sendEvent(QApplication::focusWidget(), &event);
}

QString mainGridTotal(const AppFixture& app, int row) {
    return kelvos::readCommaText(app.control<TStringGridEx>("StringGridEx1")->rowCommaText(row))
        .value(2);
}

} // namespace

class TestPresses : public QObject {
    Q_OBJECT
private slots:
    void pressIsTimedWhenItGoesDown_data();
    void pressIsTimedWhenItGoesDown();
    void heldKeyIsOnePress_data();
    void heldKeyIsOnePress();
    void figuresRunInAnEventLoopInsideAPress();
};

// A lap clicked with the mouse, or with the space bar on the focused button, is taken at the
// release but timed when the button went down, 700 ms earlier.
void TestPresses::pressIsTimedWhenItGoesDown_data() {
    QTest::addColumn<bool>("mouse");
    QTest::newRow("mouse") << true;
    QTest::newRow("space bar") << false;
}

void TestPresses::pressIsTimedWhenItGoesDown() {
    QFETCH(bool, mouse);
    PressFixture app;
    app.window->StartClick();
    app.clock.advance(5000);
    QWidget* lap = app.control("LAP");
    QVERIFY(lap->hasFocus());
    mouse ? sendMouse(app, lap, QEvent::MouseButtonPress)
          : sendKey(app, Qt::Key_Space, QEvent::KeyPress);
    app.clock.advance(700);
    mouse ? sendMouse(app, lap, QEvent::MouseButtonRelease)
          : sendKey(app, Qt::Key_Space, QEvent::KeyRelease);
    QCOMPARE(app.window->lapState().Lap1.LapCount, 1);
    QCOMPARE(mainGridTotal(app, 1), QString("00:00:05:000"));
}

// Enter on the focused "LAP 1", as steps: "P<ms>" a press <ms> after the step before, "R" the
// release, "S" a stop by its hotkey, which hands the focus to "start". A press of a key that has
// not come up is its repeat, however the server marks it; a press after the release, or long
// after the last one (its release went to another window), is a new press.
void TestPresses::heldKeyIsOnePress_data() {
    QTest::addColumn<QStringList>("steps");
    QTest::addColumn<int>("laps");
    QTest::addColumn<bool>("running");
    QTest::newRow("held") << QStringList{"P0", "P500", "P40", "P40", "P40", "R"} << 1 << true;
    QTest::newRow("held through a stop")
        << QStringList{"P0", "P500", "P40", "S", "P40", "P40", "R"} << 1 << false;
    QTest::newRow("pressed twice") << QStringList{"P0", "R", "P100", "R"} << 2 << true;
    QTest::newRow("pressed again after a lost release")
        << QStringList{"P0", "P1500", "R"} << 2 << true;
}

void TestPresses::heldKeyIsOnePress() {
    QFETCH(QStringList, steps);
    QFETCH(int, laps);
    QFETCH(bool, running);
    PressFixture app;
    app.window->StartClick();
    for (const QString& step : steps) {
        if (step == "S") {
            app.window->StopClick();
            QVERIFY(app.control("start")->hasFocus());
            continue;
        }
        app.clock.advance(step.mid(1).toUInt());
        sendKey(app, Qt::Key_Return, step == "R" ? QEvent::KeyRelease : QEvent::KeyPress);
    }
    QCOMPARE(app.window->lapState().Lap1.LapCount, laps);
    QCOMPARE(app.window->isRunning(), running);
}

// An event loop that runs inside the handling of a press (a dialog's own, a message box) runs
// timers and commands at the live clock, not at the press's moment: the display goes on.
void TestPresses::figuresRunInAnEventLoopInsideAPress() {
    PressFixture app;
    app.window->StartClick();
    QPushButton nested;
    connect(&nested, &QPushButton::pressed, this, [&app] {
        QEventLoop loop;
        QTimer::singleShot(0, &loop, [&app, &loop] {
            app.clock.advance(3000);
            app.window->Timer1Timer();
            loop.quit();
        });
        loop.exec();
    });
    app.clock.advance(2000);
    sendMouse(app, &nested, QEvent::MouseButtonPress);
    QCOMPARE(app.text("Label1"), QString("00:00:05:000"));
}

int main(int argc, char** argv) {
    KelvosApplication application(argc, argv, noPresses);
    TestPresses test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_presses.moc"
