#include "LapWindow.h"

#include <QHash>
#include <QTest>

using namespace kelvos;

namespace {

// A Main grid whose lap n has lap time 60 000 + n and average 70 000 − n, with some cells
// replaced.
GridCellReader gridOfLaps(int laps, QHash<QPair<int, int>, QString> replaced = {}) {
    return [laps, replaced](int col, int row) -> QString {
        if (replaced.contains({col, row}))
            return replaced.value({col, row});
        if (row < 1 || row > laps)
            return {};
        if (col == kLapMilliColumn)
            return QString::number(60000 + row);
        if (col == kAverageMilliColumn)
            return QString::number(70000 - row);
        return QStringLiteral("x");
    };
}

} // namespace

class LapWindowTest : public QObject {
    Q_OBJECT

private slots:
    void windowOfTheLast21Laps_data() {
        QTest::addColumn<int>("n");
        QTest::addColumn<int>("first");
        QTest::addColumn<int>("lowest");
        QTest::addColumn<int>("highest");
        QTest::newRow("lap 21") << 21 << 1 << 60001 << 69999;
        QTest::newRow("lap 30") << 30 << 10 << 60010 << 69990;
    }
    void windowOfTheLast21Laps() {
        QFETCH(int, n);
        QFETCH(int, first);
        QFETCH(int, lowest);
        QFETCH(int, highest);
        const Checked<LapWindow> window = lapWindowEndingAt(n, gridOfLaps(40));
        QVERIFY(window.value);
        QCOMPARE(window.value->firstIndex, first);
        QCOMPARE(window.value->lastIndex, n);
        QCOMPARE(window.value->lowest, lowest);
        QCOMPARE(window.value->highest, highest);
    }

    // Only rows n − 20 to n count: a wild value just outside is not in the range.
    void windowIgnoresRowsOutsideIt() {
        const auto grid =
            gridOfLaps(40, {{{kLapMilliColumn, 9}, "1"}, {{kLapMilliColumn, 31}, "1"}});
        QCOMPARE(lapWindowEndingAt(30, grid).value->lowest, 60010);
    }

    void cellThatIsNoIntegerLeavesNoWindow_data() {
        QTest::addColumn<int>("col");
        QTest::addColumn<int>("row");
        QTest::addColumn<QString>("text");
        QTest::newRow("text in a lap cell") << kLapMilliColumn << 25 << "1:01:040";
        QTest::newRow("empty average of the oldest row") << kAverageMilliColumn << 10 << "";
        QTest::newRow("grouped digits") << kAverageMilliColumn << 30 << "61,040";
    }
    void cellThatIsNoIntegerLeavesNoWindow() {
        QFETCH(int, col);
        QFETCH(int, row);
        QFETCH(QString, text);
        const Checked<LapWindow> window =
            lapWindowEndingAt(30, gridOfLaps(40, {{{col, row}, text}}));
        QVERIFY(!window.value);
        QCOMPARE(window.problem, QString("'%1' is not a valid integer value").arg(text));
    }

    void pointPairConversion_data() {
        QTest::addColumn<QString>("average");
        QTest::addColumn<int>("conversion");
        QTest::addColumn<bool>("given");
        QTest::addColumn<int>("averageValue");
        QTest::newRow("strict, integer") << "69990" << int(CellConversion::Strict) << true << 69990;
        QTest::newRow("strict, text") << "abc" << int(CellConversion::Strict) << false << 0;
        QTest::newRow("lenient, text is 0") << "abc" << int(CellConversion::Lenient) << true << 0;
    }
    void pointPairConversion() {
        QFETCH(QString, average);
        QFETCH(int, conversion);
        QFETCH(bool, given);
        QFETCH(int, averageValue);
        const auto grid = gridOfLaps(3, {{{kAverageMilliColumn, 2}, average}});
        const Checked<PointPair> pair = pointPairOfRow(2, grid, CellConversion(conversion));
        QCOMPARE(bool(pair.value), given);
        QCOMPARE(pair.problem.isEmpty(), given);
        if (given) {
            QCOMPARE(pair.value->lap, 60002);
            QCOMPARE(pair.value->average, averageValue);
        }
    }

    void lapsToPlotNeedRowOneLapTime_data() {
        QTest::addColumn<QString>("lapTime");
        QTest::addColumn<bool>("plot");
        QTest::newRow("a lap") << "61040" << true;
        QTest::newRow("zero") << "0" << false;
        QTest::newRow("empty") << "" << false;
        QTest::newRow("text") << "LAP" << false;
    }
    void lapsToPlotNeedRowOneLapTime() {
        QFETCH(QString, lapTime);
        QFETCH(bool, plot);
        QCOMPARE(hasLapsToPlot(gridOfLaps(3, {{{kLapMilliColumn, 1}, lapTime}})), plot);
    }
};

QTEST_APPLESS_MAIN(LapWindowTest)
#include "tst_lapwindow.moc"
