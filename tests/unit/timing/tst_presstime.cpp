#include "EventTimeMapper.h"
#include "PressClock.h"
#include "TStopWatch.h"

#include <QTest>
#include <thread>

using namespace kelvos;

class TestPressTime : public QObject {
    Q_OBJECT

private slots:
    void mapsEventTimeOntoTheClock_data();
    void mapsEventTimeOntoTheClock();
    void lapsPressedDuringABusySpellKeepTheirSpacing();
    void stopwatchAtAReading_data();
    void stopwatchAtAReading();
};

// Columns: observed (event time, clock at receipt) pairs, then the event to map and its receipt.
void TestPressTime::mapsEventTimeOntoTheClock_data() {
    QTest::addColumn<QList<quint32>>("seen");
    QTest::addColumn<quint32>("eventTime");
    QTest::addColumn<quint32>("received");
    QTest::addColumn<quint32>("expected");
    QTest::newRow("another time base: the quickest receipt sets the offset")
        << QList<quint32>{1000, 51000, 2000, 52040, 3000, 53005} << 2000u << 52040u << 52000u;
    QTest::newRow("both counters wrap")
        << QList<quint32>{0xFFFFFFF0u, 0xFFFFFFFFu} << 0x10u << 40u << 31u;
    QTest::newRow("no time stamp") << QList<quint32>{1000, 51000} << 0u << 52345u << 52345u;
    QTest::newRow("nothing observed yet") << QList<quint32>{} << 7000u << 9000u << 9000u;
    QTest::newRow("time stamp after the receipt")
        << QList<quint32>{1000, 51000} << 9000u << 52000u << 52000u;
}

void TestPressTime::mapsEventTimeOntoTheClock() {
    QFETCH(QList<quint32>, seen);
    QFETCH(quint32, eventTime);
    QFETCH(quint32, received);
    QFETCH(quint32, expected);
    EventTimeMapper mapper;
    for (qsizetype i = 0; i + 1 < seen.size(); i += 2)
        mapper.observe(seen[i], seen[i + 1]);
    QCOMPARE(mapper.clockTimeOf(eventTime, received), expected);
}

// Three laps pressed 1300 ms apart while the UI thread was busy for 19 s are handled a few ms
// apart: their totals must still be 1300 ms apart. An announcer thread reading the watch
// meanwhile sees the live total.
void TestPressTime::lapsPressedDuringABusySpellKeepTheirSpacing() {
    ManualClock live(10000);
    PressClock clock(live);
    TStopWatch watch(clock);
    EventTimeMapper mapper;
    mapper.observe(777000, live.now());
    watch.Start();
    live.advance(19000);
    QList<qint32> laps;
    qint32 announced = 0;
    for (quint32 lap = 1; lap <= 3; ++lap) {
        live.advance(12);
        const quint32 eventTime = 778000 + lap * 1300;
        mapper.observe(eventTime, live.now());
        PressClock::Scope press(mapper.clockTimeOf(eventTime, live.now()));
        laps.append(watch.GetElapsed());
        std::thread([&] { announced = watch.GetElapsed(); }).join();
    }
    QCOMPARE(laps, (QList<qint32>{2300, 3600, 4900}));
    QCOMPARE(announced, 19036);
    QCOMPARE(watch.GetElapsed(), 19036);
}

// Operations as "S100" (start at reading 100), "T5" stop, "R5" resume, "E50" total at 50.
void TestPressTime::stopwatchAtAReading_data() {
    QTest::addColumn<QStringList>("steps");
    QTest::addColumn<QList<qint32>>("totals");
    QTest::newRow("run, pause, run") << QStringList{"S1000", "T2000", "E9000", "R5000", "E5250"}
                                     << QList<qint32>{1000, 1000, 1250};
    QTest::newRow("before the start")
        << QStringList{"S1000", "E999", "T900"} << QList<qint32>{0, 0};
    QTest::newRow("before a resume")
        << QStringList{"S0", "T700", "R5000", "E4000"} << QList<qint32>{700, 700};
    QTest::newRow("across a wrap") << QStringList{"S4294967000", "T496"} << QList<qint32>{792};
}

void TestPressTime::stopwatchAtAReading() {
    QFETCH(QStringList, steps);
    QFETCH(QList<qint32>, totals);
    TStopWatch watch;
    QList<qint32> seen;
    for (const QString& step : steps) {
        const quint32 reading = step.mid(1).toUInt();
        const char op = step.at(0).toLatin1();
        if (op == 'S')
            watch.StartAt(reading);
        else if (op == 'R')
            watch.ResumeAt(reading);
        else if (op == 'T')
            watch.StopAt(reading);
        if (op == 'T' || op == 'E')
            seen.append(watch.elapsedAt(reading));
    }
    QCOMPARE(seen, totals);
}

QTEST_APPLESS_MAIN(TestPressTime)
#include "tst_presstime.moc"
