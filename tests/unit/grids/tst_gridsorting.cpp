#include "CellStore.h"
#include "HeaderSortState.h"
#include "Sorting.h"

#include <QTest>
#include <algorithm>
#include <random>

using namespace kelvos;

namespace {

// A 10-column grid with one data row per key; column 0 numbers the rows in their first order.
CellStore gridWithKeys(const QStringList& keys, int col) {
    CellStore store(int(keys.size()) + 1, 10);
    for (int r = 1; r <= keys.size(); ++r) {
        store.setCell(0, r, QString::number(r));
        store.setCell(col, r, keys[r - 1]);
    }
    return store;
}

QStringList columnOfDataRows(const CellStore& store, int col) {
    return store.column(col).mid(1);
}

} // namespace

class TestGridSorting : public QObject {
    Q_OBJECT
private slots:
    void compareIsOrdinal_data();
    void compareIsOrdinal();
    void upperAsciiKeyTouchesOnlyAsciiLetters();
    void headerSortOrdersCaseInsensitively();
    void descendingIsExactReverseOfAscending_data();
    void descendingIsExactReverseOfAscending();
    void blankRowsFirstAscendingLastDescending();
    void lapTimeSortUsesFixedWidthTimeText();
    void recordingOrderSortRestoresLapOrder();
    void numberSortGroupsStably();
    void numberSortWithoutDataRowDoesNothing();
    void clickDirections_data();
    void clickDirections();
    void clickOnEmptyHeaderShowsNoArrow();
    void sortsSeventyThousandRows();
    void quickSortSurvivesAdverseOrders_data();
    void quickSortSurvivesAdverseOrders();
};

void TestGridSorting::compareIsOrdinal_data() {
    QTest::addColumn<QString>("a");
    QTest::addColumn<QString>("b");
    QTest::addColumn<int>("sign");
    QTest::newRow("not numeric") << "10"
                                 << "9" << -1;
    QTest::newRow("prefix is smaller") << "ab"
                                       << "abc" << -1;
    QTest::newRow("empty is smallest") << ""
                                       << " " << -1;
    QTest::newRow("upper before lower") << "B"
                                        << "a" << -1;
    QTest::newRow("equal") << "x"
                           << "x" << 0;
    QTest::newRow("non-ascii after ascii") << QString::fromUtf8("é") << "z" << 1;
    QTest::newRow("by code units, not code points")
        << QString::fromUtf8("\U00010000") << QString::fromUtf8("\uFF01") << -1;
}

void TestGridSorting::compareIsOrdinal() {
    QFETCH(QString, a);
    QFETCH(QString, b);
    QFETCH(int, sign);
    const int result = compareCellText(a, b);
    QCOMPARE((result > 0) - (result < 0), sign);
    QCOMPARE(-((compareCellText(b, a) > 0) - (compareCellText(b, a) < 0)), sign);
}

void TestGridSorting::upperAsciiKeyTouchesOnlyAsciiLetters() {
    QCOMPARE(upperAsciiKey(QString::fromUtf8("abz{é東a")), QString::fromUtf8("ABZ{é東A"));
}

void TestGridSorting::headerSortOrdersCaseInsensitively() {
    CellStore store = gridWithKeys({"b", "B", "a"}, 2);
    headerSortRows(store, 2, 1, 3, SortDirection::Ascending);
    const QStringList keys = columnOfDataRows(store, 2);
    QCOMPARE(keys.first(), QStringLiteral("a"));
    QCOMPARE(QSet<QString>(keys.begin() + 1, keys.end()), (QSet<QString>{"b", "B"}));
}

void TestGridSorting::descendingIsExactReverseOfAscending_data() {
    QTest::addColumn<QStringList>("keys");
    QTest::newRow("bubble range") << QStringList{"b", "B", "a", "b"};
    QTest::newRow("quicksort range with ties")
        << QStringList{"x", "X", "", "m", "x", "a", "", "M", "b", "x", "B", "a"};
}

void TestGridSorting::descendingIsExactReverseOfAscending() {
    QFETCH(QStringList, keys);
    CellStore up = gridWithKeys(keys, 1);
    CellStore down = gridWithKeys(keys, 1);
    const int last = int(keys.size());
    headerSortRows(up, 1, 1, last, SortDirection::Ascending);
    headerSortRows(down, 1, 1, last, SortDirection::Descending);
    QStringList reversed = columnOfDataRows(up, 0);
    std::reverse(reversed.begin(), reversed.end());
    QCOMPARE(columnOfDataRows(down, 0), reversed);
}

void TestGridSorting::blankRowsFirstAscendingLastDescending() {
    QStringList keys(29);
    for (int i = 0; i < 5; ++i)
        keys[i] = QString::number(5 - i);
    CellStore store = gridWithKeys(keys, 3);
    headerSortRows(store, 3, 1, 29, SortDirection::Ascending);
    QStringList expected(24);
    expected << "1"
             << "2"
             << "3"
             << "4"
             << "5";
    QCOMPARE(columnOfDataRows(store, 3), expected);
    headerSortRows(store, 3, 1, 29, SortDirection::Descending);
    QCOMPARE(columnOfDataRows(store, 3).mid(0, 5), (QStringList{"5", "4", "3", "2", "1"}));
    QCOMPARE(store.cell(3, 29), QString());
}

void TestGridSorting::lapTimeSortUsesFixedWidthTimeText() {
    CellStore store(12, 10);
    const QStringList lapTimes{"00:01:05:000", "00:00:59:900", "00:01:00:000", "00:00:58:123",
                               "00:02:00:000", "00:00:59:899", "00:01:05:001", "00:00:30:000",
                               "00:00:45:000", "00:03:00:000", "00:00:01:000"};
    for (int r = 1; r <= 11; ++r)
        store.setCell(3, r, lapTimes[r - 1]);
    lapTimeSort(store);
    QStringList sorted = lapTimes;
    std::sort(sorted.begin(), sorted.end());
    QCOMPARE(columnOfDataRows(store, 3), sorted);
    QVERIFY(columnOfDataRows(store, 3).indexOf("00:00:59:900") <
            columnOfDataRows(store, 3).indexOf("00:01:05:000"));
}

void TestGridSorting::recordingOrderSortRestoresLapOrder() {
    CellStore store(12, 10);
    for (int r = 1; r <= 8; ++r) {
        store.setCell(0, r, QString::number(r));
        store.setCell(2, r, QStringLiteral("00:0%1:00:000").arg(r));
        store.setCell(3, r, QStringLiteral("00:00:%1:000").arg(60 - r * 3));
    }
    lapTimeSort(store);
    recordingOrderSort(store);
    QCOMPARE(columnOfDataRows(store, 0),
             (QStringList{"", "", "", "1", "2", "3", "4", "5", "6", "7", "8"}));
}

void TestGridSorting::numberSortGroupsStably() {
    QStringList names(29);
    names[0] = "2";
    names[1] = "1";
    names[2] = "2";
    names[3] = "1";
    CellStore store = gridWithKeys(names, 1);
    for (int r = 5; r <= 29; ++r)
        store.setCell(0, r, QString());
    numberSort(store, 1);
    QStringList expectedOrigin(25);
    expectedOrigin << "2"
                   << "4"
                   << "1"
                   << "3";
    QCOMPARE(columnOfDataRows(store, 0), expectedOrigin);
}

void TestGridSorting::numberSortWithoutDataRowDoesNothing() {
    CellStore store(1, 10);
    store.setCell(1, 0, "Number");
    numberSort(store, 1);
    QCOMPARE(store.cell(1, 0), QStringLiteral("Number"));
}

void TestGridSorting::clickDirections_data() {
    QTest::addColumn<int>("ops");
    QTest::addColumn<QList<bool>>("ascendingPerClick");
    QTest::newRow("soBoth flips from descending") << int(soBoth) << QList<bool>{false, true, false};
    QTest::newRow("soUponly") << int(soUponly) << QList<bool>{true, true, true};
    QTest::newRow("soDownOnly") << int(soDownOnly) << QList<bool>{false, false};
}

void TestGridSorting::clickDirections() {
    QFETCH(int, ops);
    QFETCH(QList<bool>, ascendingPerClick);
    HeaderSortState state;
    for (int i = 0; i < ascendingPerClick.size(); ++i) {
        const auto direction = state.click(TSortops(ops), i % 3, "Lap");
        QVERIFY(direction.has_value());
        QCOMPARE(*direction == SortDirection::Ascending, ascendingPerClick[i]);
        QCOMPARE(state.sortColumn, i % 3);
        QVERIFY(state.showsIndicator(i % 3));
    }
    HeaderSortState ignored;
    QVERIFY(!ignored.click(soNon, 2, "x").has_value());
    QVERIFY(!ignored.sorted);
}

void TestGridSorting::clickOnEmptyHeaderShowsNoArrow() {
    HeaderSortState state;
    state.click(soBoth, 1, "Number");
    state.click(soBoth, 4, QString());
    QVERIFY(!state.showsIndicator(1));
    QVERIFY(!state.showsIndicator(4));
}

void TestGridSorting::sortsSeventyThousandRows() {
    const int rows = 70000;
    std::mt19937 random(7);
    QStringList keys;
    for (int i = 0; i < rows; ++i)
        keys << QString::number(random() % 100000).rightJustified(6, u'0');
    CellStore store = gridWithKeys(keys, 3);
    headerSortRows(store, 3, 1, rows, SortDirection::Ascending);
    QStringList sorted = keys;
    std::sort(sorted.begin(), sorted.end());
    QCOMPARE(columnOfDataRows(store, 3), sorted);
    // Every row moved whole: its number in column 0 still names its original key.
    for (int r = 1; r <= rows; ++r)
        QCOMPARE(store.cell(3, r), keys[store.cell(0, r).toInt() - 1]);
}

void TestGridSorting::quickSortSurvivesAdverseOrders_data() {
    QTest::addColumn<QString>("shape");
    QTest::newRow("ascending") << "ascending";
    QTest::newRow("descending") << "descending";
    QTest::newRow("all equal") << "equal";
}

void TestGridSorting::quickSortSurvivesAdverseOrders() {
    QFETCH(QString, shape);
    const int rows = 70000;
    QStringList keys;
    for (int i = 0; i < rows; ++i) {
        const int value = shape == "ascending" ? i : shape == "descending" ? rows - i : 1;
        keys << QString::number(value).rightJustified(6, u'0');
    }
    CellStore store = gridWithKeys(keys, 2);
    quickSortRowsByText(store, 2, 1, rows);
    const QStringList sorted = columnOfDataRows(store, 2);
    QVERIFY(std::is_sorted(sorted.begin(), sorted.end()));
    QCOMPARE(sorted.size(), rows);
}

QTEST_APPLESS_MAIN(TestGridSorting)
#include "tst_gridsorting.moc"
