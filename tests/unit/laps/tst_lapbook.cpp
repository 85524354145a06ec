#include "LapBook.h"

#include <QTest>

using kelvos::LapBook;
using kelvos::LapPress;
using kelvos::SpeedUnit;

namespace {

// A wall clock that advances one second at every read, so each row shows which read it got.
kelvos::WallClock steppingClock(int* reads) {
    return [reads] { return QStringLiteral("12:34:%1").arg(56 + (*reads)++); };
}

LapPress pressAt(qint32 elapsed, const QString& name = QStringLiteral("1"),
                 const QString& course = QStringLiteral("400"), bool selected = true) {
    return {elapsed, true, course, selected, name, [] { return QStringLiteral("12:34:56"); }};
}

// Presses of competitor 1 closing laps of the given lengths, from a fresh start.
kelvos::LapFacts recordLaps(LapBook& book, const QList<qint32>& laps,
                            SpeedUnit unit = SpeedUnit::KilometresPerHour) {
    book.start();
    qint32 total = 0;
    kelvos::LapFacts last;
    for (qint32 lap : laps) {
        total += lap;
        last = book.recordLap(1, pressAt(total), unit);
    }
    return last;
}

} // namespace

class LapBookTest : public QObject {
    Q_OBJECT

private slots:
    void lapOfCompetitor1_data() {
        QTest::addColumn<QList<qint32>>("laps");
        QTest::addColumn<QString>("diffText");
        QTest::addColumn<bool>("diffNegative");
        QTest::addColumn<bool>("fastestChanged");
        QTest::addColumn<qint32>("fastest");
        QTest::addColumn<qint32>("average");
        QTest::addColumn<QString>("averageText");
        QTest::addColumn<QString>("lapSpeed");
        QTest::addColumn<QString>("averageSpeed");
        QTest::newRow("first lap") << QList<qint32>{61040} << "+1:01:040" << false << true << 61040
                                   << 61040 << "00:01:01:040"
                                   << "23.591"
                                   << "23.591";
        QTest::newRow("tie makes the later lap fastest")
            << QList<qint32>{60000, 60000} << "+0.000" << false << true << 60000 << 60000
            << "00:01:00:000"
            << "24.000"
            << "24.000";
        QTest::newRow("slower lap keeps the fastest")
            << QList<qint32>{60000, 61000} << "+1:000" << false << false << 60000 << 60500
            << "00:01:00:500"
            << "23.606"
            << "23.801";
        QTest::newRow("negative difference") << QList<qint32>{60000, 59500} << "-0.500" << true
                                             << true << 59500 << 59750 << "00:00:59:750"
                                             << "24.201"
                                             << "24.100";
        QTest::newRow("average truncates") << QList<qint32>{1000, 1000, 1001} << "+0.001" << false
                                           << false << 1000 << 1000 << "00:00:01:000"
                                           << "1438.561"
                                           << "1440.000";
        QTest::newRow("0 ms lap") << QList<qint32>{0} << "+0.000" << false << true << 0 << 0
                                  << "00:00:00:000"
                                  << ".000"
                                  << ".000";
        QTest::newRow("three laps") << QList<qint32>{62000, 62078, 61040} << "-1:038" << true
                                    << true << 61040 << 61706 << "00:01:01:706"
                                    << "23.591"
                                    << "23.336";
    }
    void lapOfCompetitor1() {
        QFETCH(QList<qint32>, laps);
        LapBook book(QStringLiteral("."));
        const kelvos::LapFacts result = recordLaps(book, laps);

        QCOMPARE(result.number, laps.size());
        QCOMPARE(result.text(kelvos::LapColumn::LapTime), result.rowTexts()[3]);
        QTEST(result.text(kelvos::LapColumn::Difference), "diffText");
        QTEST(result.difference < 0, "diffNegative");
        QTEST(result.fastest, "fastestChanged");
        QTEST(book.state().FastestLap1, "fastest");
        QTEST(book.state().Lap1.LapAverage, "average");
        QTEST(kelvos::formatFullTime(result.average), "averageText");
        QTEST(result.lapSpeed, "lapSpeed");
        QTEST(result.averageSpeed, "averageSpeed");
        QCOMPARE(book.state().LapSpeedText1, result.lapSpeed);
        QCOMPARE(book.state().AverageSpeedText1, result.averageSpeed);
    }

    void rowFieldsOfBothGrids() {
        LapBook book(QStringLiteral("."));
        book.start();
        int reads = 0;
        qint32 total = 0;
        kelvos::LapFacts result;
        for (qint32 lap : {62000, 62078, 61040}) {
            total += lap;
            reads = 0;
            LapPress press = pressAt(total);
            press.wallClock = steppingClock(&reads);
            result = book.recordLap(1, press, SpeedUnit::KilometresPerHour);
        }
        const QStringList expected{"3",        "1",     "00:03:05:118", "00:01:01:040", "-1:038",
                                   "12:34:56", "61040", "23.591",       "61706",        "23.336"};
        QCOMPARE(result.mainRow, 3);
        QCOMPARE(result.rowTexts(), expected);
        // Both grids show the one time of day the press was made at.
        QCOMPARE(result.mixRow, 3);
        QCOMPARE(reads, 1);
        QCOMPARE(book.state().LastTotalText, QStringLiteral("00:03:05:118"));
        QCOMPARE(book.state().LapTotal1, 185118);
    }

    void courseChoice_data() {
        QTest::addColumn<QString>("course");
        QTest::addColumn<bool>("selected");
        QTest::addColumn<SpeedUnit>("unit");
        QTest::addColumn<QString>("speed");
        QTest::newRow("km/h") << "400" << true << SpeedUnit::KilometresPerHour << "24.000";
        QTest::newRow("mph") << "400" << true << SpeedUnit::MilesPerHour << "14.912";
        QTest::newRow("400m") << "400m" << true << SpeedUnit::KilometresPerHour << ".000";
        QTest::newRow("abc") << "abc" << true << SpeedUnit::KilometresPerHour << ".000";
        QTest::newRow("typed, not selected")
            << "1234" << false << SpeedUnit::KilometresPerHour << ".000";
    }
    void courseChoice() {
        QFETCH(QString, course);
        QFETCH(bool, selected);
        QFETCH(SpeedUnit, unit);
        LapBook book(QStringLiteral("."));
        book.start();
        const kelvos::LapFacts result =
            book.recordLap(1, pressAt(60000, "1", course, selected), unit);
        QTEST(result.lapSpeed, "speed");
        QTEST(result.averageSpeed, "speed");
        QTEST(result.rowTexts()[7], "speed");
        QTEST(result.rowTexts()[9], "speed");
    }

    void speedUsesTheGivenDecimalSeparator() {
        LapBook book(QStringLiteral(","));
        QCOMPARE(recordLaps(book, {61040}).lapSpeed, QStringLiteral("23,591"));
    }

    void competitors2And3StayInKmhWithTheMileOption() {
        LapBook book(QStringLiteral("."));
        book.start();
        const auto lap1 = book.recordLap(1, pressAt(60000), SpeedUnit::MilesPerHour);
        const auto lap2 = book.recordLap(2, pressAt(60000, "2"));
        const auto lap3 = book.recordLap(3, pressAt(60000, "3"));
        QCOMPARE(lap1.rowTexts()[7], QStringLiteral("14.912"));
        QCOMPARE(lap2.rowTexts()[7], QStringLiteral("24.000"));
        QCOMPARE(lap2.rowTexts()[9], QStringLiteral("24.000"));
        QCOMPARE(lap3.rowTexts()[7], QStringLiteral("24.000"));
    }

    void mixRowsFollowPressOrder() {
        LapBook book(QStringLiteral("."));
        book.start();
        const auto first = book.recordLap(1, pressAt(60000, "Ann"), SpeedUnit::KilometresPerHour);
        const auto second = book.recordLap(2, pressAt(61000, "Bob"));
        const auto third = book.recordLap(1, pressAt(120000, "Ann"), SpeedUnit::KilometresPerHour);
        QCOMPARE(first.mixRow, 1);
        QCOMPARE(second.mixRow, 2);
        QCOMPARE(third.mixRow, 3);
        QCOMPARE(third.mainRow, 2);
        QCOMPARE(second.rowTexts().mid(0, 4),
                 (QStringList{"1", "Bob", "00:01:01:000", "00:01:01:000"}));
        QCOMPARE(third.rowTexts().mid(0, 4),
                 (QStringList{"2", "Ann", "00:02:00:000", "00:01:00:000"}));
        QCOMPARE(book.state().PressTotal, 120000);
    }

    void gaps_data() {
        QTest::addColumn<QList<int>>("competitors");
        QTest::addColumn<QList<qint32>>("totals");
        QTest::addColumn<int>("against");
        QTest::addColumn<bool>("changed");
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("negative");
        QTest::newRow("competitor 1 ahead")
            << QList<int>{1, 2, 1, 2} << QList<qint32>{65000, 66000, 130000, 131500} << 2 << true
            << "-1:500" << true;
        QTest::newRow("competitor 1 behind")
            << QList<int>{1, 2, 2, 1} << QList<qint32>{65000, 64000, 128000, 130000} << 2 << true
            << "+2:000" << false;
        QTest::newRow("level") << QList<int>{3, 1} << QList<qint32>{70000, 70000} << 3 << true
                               << "+0.000" << false;
        QTest::newRow("unequal counts at a press of 2")
            << QList<int>{1, 2, 2} << QList<qint32>{65000, 64000, 128000} << 2 << false << ""
            << false;
        QTest::newRow("unequal counts at a press of 1")
            << QList<int>{3, 3, 1} << QList<qint32>{60000, 120000, 125000} << 3 << false << ""
            << false;
        QTest::newRow("competitor 3 behind")
            << QList<int>{1, 3} << QList<qint32>{60000, 63250} << 3 << true << "-3:250" << true;
    }
    void gaps() {
        QFETCH(QList<int>, competitors);
        QFETCH(QList<qint32>, totals);
        QFETCH(int, against);
        LapBook book(QStringLiteral("."));
        book.start();
        kelvos::GapUpdate gap;
        for (int i = 0; i < competitors.size(); ++i) {
            const LapPress press = pressAt(totals[i]);
            if (competitors[i] == 1) {
                const auto result = book.recordLap(1, press, SpeedUnit::KilometresPerHour);
                gap = against == 2 ? result.gaps[0] : result.gaps[1];
            } else {
                gap = competitors[i] == 2 ? book.recordLap(2, press).gaps[0]
                                          : book.recordLap(3, press).gaps[1];
            }
        }
        QTEST(gap.changed, "changed");
        QTEST(gap.text, "text");
        QTEST(gap.negative, "negative");
    }

    void newRunMeasuresFirstLapsFromZero() {
        LapBook book(QStringLiteral("."));
        book.start();
        book.recordLap(1, pressAt(90000), SpeedUnit::KilometresPerHour);
        book.recordLap(2, pressAt(95000));
        book.recordLap(3, pressAt(99000));
        book.reset();
        book.start();
        const auto lap2 = book.recordLap(2, pressAt(30000, "2"));
        const auto lap1 = book.recordLap(1, pressAt(40000), SpeedUnit::KilometresPerHour);
        QCOMPARE(lap2.mixRow, 1);
        QCOMPARE(lap2.rowTexts()[0], QStringLiteral("1"));
        QCOMPARE(lap2.rowTexts()[6], QStringLiteral("30000"));
        QCOMPARE(lap2.rowTexts()[8], QStringLiteral("30000"));
        QCOMPARE(lap1.mainRow, 1);
        QCOMPARE(lap1.mixRow, 2);
        QCOMPARE(lap1.text(kelvos::LapColumn::Difference), QStringLiteral("+40:000"));
        QCOMPARE(lap1.gaps[0].text, QStringLiteral("+10:000"));
        QVERIFY(!lap1.gaps[1].changed);
    }

    void lapTimeOfPress_data() {
        QTest::addColumn<qint32>("lapStart");
        QTest::addColumn<qint32>("elapsed");
        QTest::addColumn<bool>("running");
        QTest::addColumn<qint32>("lapTime");
        // "Plus1Lap" marks the watch running before the lap, so a stopped watch closes the lap
        // at the frozen total.
        QTest::newRow("Plus1Lap after a stop") << 300000 << 362500 << true << 62500;
        QTest::newRow("Plus1Lap before any start") << 0 << 0 << true << 0;
        QTest::newRow("press while not running counts the whole total")
            << 300000 << 362500 << false << 362500;
    }
    void lapTimeOfPress() {
        QFETCH(qint32, lapStart);
        QFETCH(qint32, elapsed);
        QFETCH(bool, running);
        LapBook book(QStringLiteral("."));
        book.start();
        if (lapStart > 0) {
            book.recordLap(1, pressAt(lapStart), SpeedUnit::KilometresPerHour);
        }
        LapPress press = pressAt(elapsed);
        press.running = running;
        const auto result = book.recordLap(1, press, SpeedUnit::KilometresPerHour);
        QTEST(book.state().Lap1.LapTime, "lapTime");
        QCOMPARE(book.state().Lap1.LapStart, elapsed);
        QCOMPARE(result.rowTexts()[6].toInt(), book.state().Lap1.LapTime);
    }

    void resetForgetsTheRunButKeepsTheLastLapTotal() {
        LapBook book(QStringLiteral("."));
        recordLaps(book, {61040, 60000});
        book.recordLap(2, pressAt(130000));
        book.reset();
        QCOMPARE(book.state().Lap1.LapCount, 0);
        QCOMPARE(book.state().Lap2.LapCount, 0);
        QCOMPARE(book.state().MixRows, 0);
        QCOMPARE(book.state().LapTotal1, 121040);
        QCOMPARE(book.refreshRunningLap(5000, false), std::nullopt);
        // "Plus1Lap" after a reset: lap 1 from 0, the fastest set anew.
        const auto result = book.recordLap(1, pressAt(5000), SpeedUnit::KilometresPerHour);
        QCOMPARE(result.number, 1);
        QCOMPARE(result.mixRow, 1);
        QVERIFY(result.fastest);
        QCOMPARE(book.state().FastestLap1, 5000);
    }

    void runningLap() {
        LapBook book(QStringLiteral("."));
        book.start();
        QCOMPARE(book.refreshRunningLap(15000, true), std::nullopt);
        book.recordLap(1, pressAt(60000), SpeedUnit::KilometresPerHour);
        QCOMPARE(book.refreshRunningLap(75000, true), QStringLiteral("00:00:15:000"));
        QCOMPARE(book.state().RunningLap1, 15000);
        // Stopped: the label keeps the lap in progress of the last refresh while running.
        QCOMPARE(book.refreshRunningLap(99000, false), QStringLiteral("00:00:15:000"));
    }

    void lapsPastThe32BitTotalStayExact() {
        LapBook book(QStringLiteral("."));
        const qint32 lap = 2'000'000'000;
        book.start();
        book.recordLap(1, pressAt(lap), SpeedUnit::KilometresPerHour);
        // The 32-bit total wraps; the lap length and the average do not.
        const auto result = book.recordLap(1, pressAt(static_cast<qint32>(quint32(lap) * 2)),
                                           SpeedUnit::KilometresPerHour);
        QCOMPARE(book.state().Lap1.LapTime, lap);
        QCOMPARE(book.state().Lap1.LapSum, qint64(lap) * 2);
        QCOMPARE(book.state().Lap1.LapAverage, lap);
        QCOMPARE(result.text(kelvos::LapColumn::Difference), QStringLiteral("+0.000"));
    }
};

QTEST_APPLESS_MAIN(LapBookTest)
#include "tst_lapbook.moc"
