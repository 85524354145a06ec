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
    void textsOfEveryLengthAndCharacterComeBack_data();
    void textsOfEveryLengthAndCharacterComeBack();
    void writingWhileNarrowKeepsHiddenColumns();
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

// A row keeps its texts in one buffer with their lengths up front, one byte a character where
// they allow it: lengths of one and of several bytes, and characters of any code, must all
// come back.
void TestCellStore::textsOfEveryLengthAndCharacterComeBack_data() {
    QTest::addColumn<QString>("text");
    QTest::newRow("empty") << QString();
    QTest::newRow("one character") << QStringLiteral("7");
    QTest::newRow("longest short length") << QString(0x7FFF, u'a');
    QTest::newRow("shortest long length") << QString(0x8000, u'b');
    QTest::newRow("long") << QString(70000, u'c');
    QTest::newRow("Latin-1 beyond ASCII") << QString::fromUtf16(u"Zo\u00EB \u00FF\u0080");
    QTest::newRow("characters of any code") << QString::fromUtf16(u"\u0000\u8000\uFFFF,\"x");
}

void TestCellStore::textsOfEveryLengthAndCharacterComeBack() {
    QFETCH(QString, text);
    CellStore store(3, 4);
    store.setRow(1, {"left", text, "", "right"});
    store.setCell(2, 2, text);
    QCOMPARE(store.row(1), (QStringList{"left", text, "", "right"}));
    QCOMPARE(store.cell(2, 2), text);
    QCOMPARE(store.cell(3, 2), QString());
}

void TestCellStore::writingWhileNarrowKeepsHiddenColumns() {
    CellStore store(2, 3);
    store.setRow(1, {"a", "b", "c"});
    store.setColCount(1);
    store.setRow(1, {"x"});
    store.setCell(0, 1, "y");
    store.setColCount(3);
    QCOMPARE(store.row(1), (QStringList{"y", "b", "c"}));
}

QTEST_APPLESS_MAIN(TestCellStore)
#include "tst_cellstore.moc"
