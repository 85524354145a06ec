#include "CellStore.h"
#include "ClipboardExchange.h"
#include "CommaText.h"

#include <QTest>

using namespace kelvos;

Q_DECLARE_METATYPE(kelvos::CompetitorNames)

namespace {

// A Mix grid of 30 rows whose row r carries lap r of the competitor named in names[r - 1].
CellStore mixGrid(const QStringList& names) {
    CellStore grid(30, 10);
    grid.setRowCommaText(0, u"Lap,Number,Total");
    for (int row = 1; row <= names.size(); ++row)
        grid.setRow(row, {QString::number(row), names[row - 1], QStringLiteral("t%1").arg(row)});
    return grid;
}

// The fields written, for texts without quoted commas; reading would drop a last empty field.
qsizetype fieldCount(const QString& text) {
    return text.count(u',') + 1;
}

CellStore mainGrid(int rows) {
    CellStore grid(rows, 10);
    for (int row = 0; row < rows; ++row)
        grid.setRow(row, {QStringLiteral("L%1").arg(row), "old", "old"});
    return grid;
}

} // namespace

class TestClipboardExchange : public QObject {
    Q_OBJECT
private slots:
    void copyTakesEveryRowBlankOnesIncluded();
    void copyOfOneCompetitorMatchesExactly();
    void copyWithNoMatchingRowIsEmpty();
    void nothingToCopyFromOneRowOrColumn_data();
    void nothingToCopyFromOneRowOrColumn();
    void copyAndPasteRestoreRows();
    void pasteKeepsColumnZeroOfRowsBeyond();
    void pasteOfForeignTextFillsTenToARow();
    void pasteDropsItemsBeyondTheRowCount();
    void pasteOfEmptyTextOnlyEmptiesColumns();
    void pasteWithZeroCountKeepsTheHeaderRow();
    void namesFromLoadedRows_data();
    void namesFromLoadedRows();
};

void TestClipboardExchange::copyTakesEveryRowBlankOnesIncluded() {
    const auto copy = copyGridCells(mixGrid({"1", "2", "1"}));
    QVERIFY(copy);
    QCOMPARE(copy->cellCount, 30);
    QCOMPARE(fieldCount(copy->text), 290);
    const QStringList fields = readCommaText(copy->text);
    QCOMPARE(fields.mid(0, 3), (QStringList{"1", "1", "t1"}));
    QCOMPARE(fields.mid(20, 3), (QStringList{"3", "1", "t3"}));
}

void TestClipboardExchange::copyOfOneCompetitorMatchesExactly() {
    const CellStore grid = mixGrid({"Ann", "2", "Ann", "ann", "Ann", "Ann "});
    const auto copy = copyGridCells(grid, QString("Ann"));
    QVERIFY(copy);
    QCOMPARE(copy->cellCount, 4);
    QCOMPARE(fieldCount(copy->text), 30);
    const QStringList fields = readCommaText(copy->text);
    QCOMPARE(fields.at(0), QString("1"));
    QCOMPARE(fields.at(10), QString("3"));
    QCOMPARE(fields.at(20), QString("5"));
}

void TestClipboardExchange::copyWithNoMatchingRowIsEmpty() {
    const auto copy = copyGridCells(mixGrid({"1", "2"}), QString("3"));
    QVERIFY(copy);
    QCOMPARE(copy->text, QString());
    QCOMPARE(copy->cellCount, 1);
}

void TestClipboardExchange::nothingToCopyFromOneRowOrColumn_data() {
    QTest::addColumn<int>("rows");
    QTest::addColumn<int>("cols");
    QTest::newRow("header only") << 1 << 10;
    QTest::newRow("one column") << 30 << 1;
}

void TestClipboardExchange::nothingToCopyFromOneRowOrColumn() {
    QFETCH(int, rows);
    QFETCH(int, cols);
    QVERIFY(!copyGridCells(CellStore(rows, cols)));
}

void TestClipboardExchange::copyAndPasteRestoreRows() {
    CellStore mix = mixGrid({"1", "2", "1", "1", "2"});
    mix.setRow(2, {"1", "2", "00:00:01:000", "a, b", "with blank", "\"quoted\"", "", "x"});
    const auto copy = copyGridCells(mix, QString("2"));
    QVERIFY(copy);
    QCOMPARE(copy->cellCount, 3);

    CellStore main = mainGrid(12);
    QVERIFY(pasteIntoGrid(main, copy->text, copy->cellCount));
    QCOMPARE(main.rowCount(), 3);
    QCOMPARE(main.row(1), mix.row(2));
    QCOMPARE(main.row(2), mix.row(5));
}

void TestClipboardExchange::pasteKeepsColumnZeroOfRowsBeyond() {
    CellStore main = mainGrid(12);
    QVERIFY(pasteIntoGrid(main, u"1,a,,,,,,,,", 2));
    QCOMPARE(main.rowCount(), 2);
    QCOMPARE(main.row(1), (QStringList{"1", "a", "", "", "", "", "", "", "", ""}));
    main.setRowCount(12); // hidden rows show again when the grid grows
    QCOMPARE(main.row(5), (QStringList{"L5", "", "", "", "", "", "", "", "", ""}));
    QCOMPARE(main.cell(0, 0), QString("L0"));
}

void TestClipboardExchange::pasteOfForeignTextFillsTenToARow() {
    CellStore main = mainGrid(12);
    QStringList items;
    for (int i = 0; i < 25; ++i)
        items << QString::number(i);
    QVERIFY(pasteIntoGrid(main, items.join(','), 4));
    QCOMPARE(main.rowCount(), 4);
    QCOMPARE(main.cell(9, 1), QString("9"));
    QCOMPARE(main.cell(0, 2), QString("10"));
    QCOMPARE(main.cell(4, 3), QString("24"));
    QCOMPARE(main.cell(5, 3), QString());
}

void TestClipboardExchange::pasteDropsItemsBeyondTheRowCount() {
    CellStore main = mainGrid(12);
    const QString many = QStringLiteral("x,").repeated(100000);
    QVERIFY(pasteIntoGrid(main, many, 3));
    QCOMPARE(main.rowCount(), 3);
    QCOMPARE(main.cell(9, 2), QString("x"));
    main.setRowCount(12);
    QCOMPARE(main.cell(1, 3), QString()); // nothing was written past the rows shown
}

void TestClipboardExchange::pasteOfEmptyTextOnlyEmptiesColumns() {
    CellStore main = mainGrid(12);
    QVERIFY(!pasteIntoGrid(main, u"", 1));
    QCOMPARE(main.rowCount(), 12);
    QCOMPARE(main.row(0), (QStringList{"L0", "", "", "", "", "", "", "", "", ""}));
}

void TestClipboardExchange::pasteWithZeroCountKeepsTheHeaderRow() {
    CellStore main = mainGrid(12);
    QVERIFY(pasteIntoGrid(main, u"a,b", 0));
    QCOMPARE(main.rowCount(), 1);
    QCOMPARE(main.cell(0, 0), QString("L0"));
}

void TestClipboardExchange::namesFromLoadedRows_data() {
    QTest::addColumn<QStringList>("numbers");
    QTest::addColumn<CompetitorNames>("expected");
    const CompetitorNames before{"1", "2", "3"};
    QTest::newRow("A B A D") << QStringList{"A", "B", "A", "D"} << CompetitorNames{"A", "B", "D"};
    QTest::newRow("one row names only the first")
        << QStringList{"A"} << CompetitorNames{"A", "2", "3"};
    QTest::newRow("no rows change nothing") << QStringList{} << before;
    QTest::newRow("one other name goes to the third box")
        << QStringList{"A", "B", "A"} << CompetitorNames{"A", "2", "B"};
    QTest::newRow("second box compares with the third box's old text")
        << QStringList{"3", "3"} << CompetitorNames{"3", "2", "3"};
    QTest::newRow("names differ by case")
        << QStringList{"a", "A", "b"} << CompetitorNames{"a", "A", "b"};
}

void TestClipboardExchange::namesFromLoadedRows() {
    QFETCH(QStringList, numbers);
    QFETCH(CompetitorNames, expected);
    QCOMPARE(namesFromNumberColumn(numbers, {"1", "2", "3"}), expected);
}

QTEST_GUILESS_MAIN(TestClipboardExchange)
#include "tst_clipboardexchange.moc"
