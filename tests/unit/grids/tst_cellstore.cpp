#include "CellStore.h"

#include <QTest>

using namespace kelvos;

class TestCellStore : public QObject {
    Q_OBJECT
private slots:
    void shrinkingHidesCellsAndGrowingShowsThemAgain();
    void widerGridKeepsCellPositions();
    void outsideAccessIsHarmless();
    void clearForgetsHiddenCells();
    void permuteMovesWholeRows();
};

void TestCellStore::shrinkingHidesCellsAndGrowingShowsThemAgain() {
    CellStore store(12, 10);
    store.setCell(0, 11, "11");
    store.setRowCount(5);
    QCOMPARE(store.cell(0, 11), QString());
    store.setRowCount(12);
    QCOMPARE(store.cell(0, 11), QStringLiteral("11"));
}

void TestCellStore::widerGridKeepsCellPositions() {
    CellStore store(3, 2);
    store.setRow(1, {"a", "b"});
    store.setRow(2, {"c", "d"});
    store.setColCount(5);
    QCOMPARE(store.row(1), (QStringList{"a", "b", "", "", ""}));
    QCOMPARE(store.row(2), (QStringList{"c", "d", "", "", ""}));
    store.setColCount(1);
    QCOMPARE(store.row(2), QStringList{"c"});
    store.setColCount(2);
    QCOMPARE(store.cell(1, 2), QStringLiteral("d"));
}

// Writing outside is a caller's fault that debug builds stop on; reading outside is harmless.
void TestCellStore::outsideAccessIsHarmless() {
    CellStore store(2, 2);
    QCOMPARE(store.cell(5, 5), QString());
    QCOMPARE(store.cell(-1, 0), QString());
    store.setRowCount(6);
    store.setColCount(6);
    QCOMPARE(store.cell(5, 5), QString());
    store.swapRows(0, 99);
}

void TestCellStore::clearForgetsHiddenCells() {
    CellStore store(4, 2);
    store.setCell(1, 3, "x");
    store.setRowCount(2);
    store.clear();
    store.setRowCount(4);
    QCOMPARE(store.cell(1, 3), QString());
}

void TestCellStore::permuteMovesWholeRows() {
    CellStore store(4, 2);
    store.setRow(1, {"a", "1"});
    store.setRow(2, {"b", "2"});
    store.setRow(3, {"c", "3"});
    const int order[] = {3, 1, 2};
    store.permuteRows(1, order);
    QCOMPARE(store.column(0), (QStringList{"", "c", "a", "b"}));
    QCOMPARE(store.column(1), (QStringList{"", "3", "1", "2"}));
}

QTEST_APPLESS_MAIN(TestCellStore)
#include "tst_cellstore.moc"
