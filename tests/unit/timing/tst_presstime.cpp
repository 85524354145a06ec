#include "EventTimeMapper.h"
#include "MillisecondClock.h"
#include "PressClock.h"
#include "TStopWatch.h"

#include <QTest>
#include <thread>

using namespace kelvos;

using Observations = QList<QPair<quint32, quint32>>; // (event time stamp, clock at receipt)
Q_DECLARE_METATYPE(Observations)

class TestPressTime : public QObject {
    Q_OBJECT

private slots:
    void mapsEventTimeOntoTheClock_data();
    void mapsEventTimeOntoTheClock();
    void lapsPressedDuringABusySpellKeepTheirSpacing();
    void stopwatchAtAReading_data();
    void stopwatchAtAReading();
    void pressScopeTimesTheWatchAndNests();
};

void TestPressTime::mapsEventTimeOntoTheClock_data() {
    QTest::addColumn<Observations>("seen");
    QTest::addColumn<quint32>("eventTime");
    QTest::addColumn<quint32>("received");
    QTest::addColumn<quint32>("expected");
    QTest::newRow("another time base, the quickest receipt sets the offset")
        << Observations{{1000, 51000}, {2000, 52040}, {3000, 53005}} << 2000u << 52040u << 52000u;
    QTest::newRow("server counter wraps")
        << Observations{{0xFFFFFFF0u, 100}} << 0x10u << 200u << 132u;
    QTest::newRow("clock counter wraps") << Observations{{500, 0xFFFFFFFFu}} << 520u << 30u << 19u;
    QTest::newRow("no time stamp: the reading at handling")
        << Observations{{1000, 51000}} << 0u << 52345u << 52345u;
    QTest::newRow("nothing observed: the reading at handling")
        << Observations{} << 7000u << 9000u << 9000u;
    QTest::newRow("a time stamp from the future is clamped to the receipt")
        << Observations{{1000, 51000}} << 9000u << 52000u << 52000u;
}

void TestPressTime::mapsEventTimeOntoTheClock() {
    QFETCH(Observations, seen);
    QFETCH(quint32, eventTime);
    QFETCH(quint32, received);
    QFETCH(quint32, expected);
    EventTimeMapper mapper;
    for (const auto& [time, clock] : seen)
        mapper.observe(time, clock);
    QCOMPARE(mapper.clockTimeOf(eventTime, received), expected);
}

// Three laps pressed 1300 ms apart while the UI thread was busy for 19 s arrive together and
// are handled a few ms apart: their recorded totals must still be 1300 ms apart.
void TestPressTime::lapsPressedDuringABusySpellKeepTheirSpacing() {
    ManualClock live(10000);
    PressClock clock(live);
    TStopWatch watch(clock);
    EventTimeMapper mapper;
    const quint32 serverBase = 777000;
    mapper.observe(serverBase, live.now()); // the start press, handled at once
    {
        PressClock::Scope press(mapper.clockTimeOf(serverBase, live.now()));
        watch.Start();
    }
    live.advance(19000);
    QList<qint32> laps;
    for (quint32 lap = 1; lap <= 3; ++lap) {
        live.advance(12);
        const quint32 eventTime = serverBase + 1000 + lap * 1300;
        mapper.observe(eventTime, live.now());
        PressClock::Scope press(mapper.clockTimeOf(eventTime, live.now()));
        laps.append(watch.GetElapsed());
    }
    QCOMPARE(laps, (QList<qint32>{2300, 3600, 4900}));
}

// Operations as "S100" (start at reading 100), "T" stop, "R" resume, "E50" total at 50.
void TestPressTime::stopwatchAtAReading_data() {
    QTest::addColumn<QStringList>("steps");
    QTest::addColumn<QList<qint32>>("totals");
    QTest::newRow("run, pause, run")
        << QStringList{"S1000", "E1500", "T2000", "E9000", "R5000", "E5250", "T5500"}
        << QList<qint32>{500, 1000, 1000, 1250, 1500};
    QTest::newRow("reading before the start gives 0")
        << QStringList{"S1000", "E999", "E0", "T900"} << QList<qint32>{0, 0, 0};
    QTest::newRow("reading before a resume gives the carried total")
        << QStringList{"S0", "T700", "R5000", "E4000", "E5001"} << QList<qint32>{700, 700, 701};
    QTest::newRow("across a wrap of the clock")
        << QStringList{"S4294967000", "E200", "T496"} << QList<qint32>{496, 792};
    QTest::newRow("resume while running keeps the start")
        << QStringList{"S100", "R900", "E1100"} << QList<qint32>{1000};
}

void TestPressTime::stopwatchAtAReading() {
    QFETCH(QStringList, steps);
    QFETCH(QList<qint32>, totals);
    TStopWatch watch;
    QList<qint32> seen;
    for (const QString& step : steps) {
        const quint32 reading = step.mid(1).toUInt();
        switch (step.at(0).toLatin1()) {
        case 'S':
            watch.StartAt(reading);
            break;
        case 'T':
            watch.StopAt(reading);
            seen.append(watch.GetElapsed());
            break;
        case 'R':
            watch.ResumeAt(reading);
            break;
        default:
            seen.append(watch.elapsedAt(reading));
        }
    }
    QCOMPARE(seen, totals);
}

void TestPressTime::pressScopeTimesTheWatchAndNests() {
    ManualClock live(5000);
    PressClock clock(live);
    TStopWatch watch(clock);
    watch.Start();
    quint32 otherThread = 0;
    {
        PressClock::Scope outer(5400);
        {
            PressClock::Scope inner(5100);
            QCOMPARE(watch.GetElapsed(), 100);
        }
        QCOMPARE(watch.GetElapsed(), 400);
        std::thread([&] { otherThread = clock.now(); }).join();
    }
    QCOMPARE(otherThread, 5000u);
    live.advance(900);
    QCOMPARE(watch.GetElapsed(), 900);
}

QTEST_APPLESS_MAIN(TestPressTime)
#include "tst_presstime.moc"
