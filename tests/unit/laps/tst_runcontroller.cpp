#include "PressClock.h"
#include "RunController.h"

#include <QTest>

using namespace kelvos;

namespace {
QDateTime noon() {
    return QDateTime(QDate(2026, 12, 8), QTime(12, 0));
}
} // namespace

class TestRunController : public QObject {
    Q_OBJECT

private slots:
    void noLapWithoutARun_data();
    void noLapWithoutARun();
    void noFigureBeforeTheLatestPress();
};

// Whatever road a press takes, it reaches the run: while the watch stands it records nothing.
// "Plus1Lap" alone takes its one lap of a stopped run.
void TestRunController::noLapWithoutARun_data() {
    QTest::addColumn<QString>("state");
    QTest::newRow("idle") << "idle";
    QTest::newRow("stopped") << "stopped";
    QTest::newRow("reset during a run") << "reset";
}

void TestRunController::noLapWithoutARun() {
    QFETCH(QString, state);
    ManualClock live(1000);
    RunController run(live, noon);
    if (state != "idle") {
        run.startWatch();
        run.beginRun();
        live.advance(2000);
        QVERIFY(run.lap1());
        if (state == "stopped")
            run.stop();
        else
            run.resetLaps();
    }
    const LapState before = run.laps();
    live.advance(500);
    QVERIFY(!run.canLap());
    QVERIFY(!run.lap1());
    QVERIFY(!run.lap2());
    QVERIFY(!run.lap3());
    QCOMPARE(run.laps().MixRows, before.MixRows);
    QCOMPARE(run.laps().Lap1.LapCount, before.Lap1.LapCount);

    run.treatAsRunning();
    const std::optional<Lap1Result> extra = run.lap1();
    QVERIFY(extra);
    QCOMPARE(extra->lapCount, before.Lap1.LapCount + 1);
}

// A press timed before the latest one (a command from another program, then a key that waited
// in the queue) and a refresh read at such a moment show the latest press's total: no lap and
// no lap in progress is ever negative.
void TestRunController::noFigureBeforeTheLatestPress() {
    ManualClock live(1000);
    PressClock clock(live);
    RunController run(clock, noon);
    run.startWatch();
    run.beginRun();
    live.set(9000);
    {
        const PressClock::Scope press(6000);
        QCOMPARE(run.lap1()->mainRow.fields.at(2), QString("00:00:05:000"));
    }
    {
        const PressClock::Scope earlier(4000);
        const std::optional<OtherLapResult> lap2 = run.lap2();
        QCOMPARE(lap2->mixRow.fields.at(2), QString("00:00:05:000"));
        QCOMPARE(run.refresh().runningLapText, std::optional<QString>("00:00:00:000"));
        const std::optional<Lap1Result> lap1 = run.lap1();
        QCOMPARE(lap1->lapText, QString("00:00:00:000"));
    }
    QCOMPARE(run.refresh().runningLapText, std::optional<QString>("00:00:03:000"));
}

QTEST_APPLESS_MAIN(TestRunController)
#include "tst_runcontroller.moc"
