#include "PressClock.h"
#include "RunController.h"

#include <QTest>

using namespace kelvos;

namespace {
QDateTime noon() {
    return QDateTime(QDate(2026, 12, 8), QTime(12, 0));
}

// Every event the run published, as its kind and sequence number.
struct EventLog {
    explicit EventLog(RunController& run) {
        run.subscribe([this](const RunEvent& event) { events << event; });
    }
    QList<RunEventKind> kinds() const {
        QList<RunEventKind> kinds;
        for (const RunEvent& event : events)
            kinds << event.kind;
        return kinds;
    }
    QList<RunEvent> events;
};
} // namespace

class TestRunController : public QObject {
    Q_OBJECT

private slots:
    void noLapWithoutARun_data();
    void noLapWithoutARun();
    void noFigureBeforeTheLatestPress();
    void commandsRefusedOutOfTurnChangeNothing();
    void eventsTellTheRunInPressOrder();
};

// Whatever road a press takes, it reaches the run: while the watch stands it records nothing.
// "Plus1Lap" alone takes its one lap of a stopped run.
void TestRunController::noLapWithoutARun_data() {
    QTest::addColumn<QString>("state");
    QTest::newRow("idle") << "idle";
    QTest::newRow("stopped") << "stopped";
    QTest::newRow("cleared by a reset") << "reset";
}

void TestRunController::noLapWithoutARun() {
    QFETCH(QString, state);
    ManualClock live(1000);
    RunController run(live, noon);
    if (state != "idle") {
        QVERIFY(run.start());
        live.advance(2000);
        QVERIFY(run.lap(1));
        QVERIFY(run.stop());
        if (state == "reset")
            QVERIFY(run.reset());
    }
    const LapState before = run.laps();
    live.advance(500);
    for (int competitor = 1; competitor <= 3; ++competitor) {
        QVERIFY(!run.can(Command(int(Command::Lap1) + competitor - 1)));
        QVERIFY(!run.lap(competitor));
    }
    QCOMPARE(run.laps().MixRows, before.MixRows);
    QCOMPARE(run.laps().Lap1.LapCount, before.Lap1.LapCount);

    run.plusOneLap();
    QCOMPARE(run.laps().Lap1.LapCount, before.Lap1.LapCount + 1);
    QCOMPARE(run.state(), RunState::Stopped);
}

// A press timed before the latest one (a command from another program, then a key that waited
// in the queue) and a refresh read at such a moment show the latest press's total: no lap and
// no lap in progress is ever negative.
void TestRunController::noFigureBeforeTheLatestPress() {
    ManualClock live(1000);
    PressClock clock(live);
    RunController run(clock, noon);
    EventLog log(run);
    run.start();
    live.set(9000);
    {
        const PressClock::Scope press(6000);
        run.lap(1);
        QCOMPARE(log.events.last().lap.text(LapColumn::Total), QString("00:00:05:000"));
    }
    {
        const PressClock::Scope earlier(4000);
        run.lap(2);
        QCOMPARE(log.events.last().lap.text(LapColumn::Total), QString("00:00:05:000"));
        QCOMPARE(run.refresh().runningLapText, std::optional<QString>("00:00:00:000"));
        run.lap(1);
        QCOMPARE(log.events.last().lap.text(LapColumn::LapTime), QString("00:00:00:000"));
    }
    QCOMPARE(run.refresh().runningLapText, std::optional<QString>("00:00:03:000"));
}

// A command the present state does not allow is refused whatever road it came by, and tells
// nobody anything.
void TestRunController::commandsRefusedOutOfTurnChangeNothing() {
    ManualClock live(1000);
    RunController run(live, noon);
    EventLog log(run);
    QVERIFY(!run.stop());
    QVERIFY(!run.restart());
    QVERIFY(run.start());
    QVERIFY(!run.start());
    QVERIFY(!run.reset());
    QVERIFY(!run.restart());
    QVERIFY(run.stop());
    QVERIFY(!run.stop());
    QCOMPARE(log.kinds(),
             (QList{RunEventKind::Reset, RunEventKind::Started, RunEventKind::Stopped}));
}

// The listeners hear every fact once, numbered in the order it happened: a start with results
// pending clears them first, each lap carries its own figures, a stop the exact total.
void TestRunController::eventsTellTheRunInPressOrder() {
    ManualClock live(1000);
    RunController run(live, noon);
    run.setName(2, "Bea");
    EventLog log(run);
    run.start();
    live.advance(61040);
    run.lap(1);
    live.advance(1000);
    run.lap(2);
    live.advance(500);
    run.stop();
    QCOMPARE(log.kinds(), (QList{RunEventKind::Reset, RunEventKind::Started, RunEventKind::Lap,
                                 RunEventKind::Lap, RunEventKind::Stopped}));
    for (qsizetype i = 1; i < log.events.size(); ++i)
        QCOMPARE(log.events[i].sequence, log.events[i - 1].sequence + 1);
    const LapFacts& second = log.events[3].lap;
    QCOMPARE(second.competitor, 2);
    QCOMPARE(second.name, QString("Bea"));
    QCOMPARE(second.mixRow, 2);
    QCOMPARE(second.mainRow, 0);
    QCOMPARE(second.total, 62040);
    QCOMPARE(log.events[4].total, 62540);
    QCOMPARE(log.events[4].state, RunState::Stopped);
}

QTEST_APPLESS_MAIN(TestRunController)
#include "tst_runcontroller.moc"
