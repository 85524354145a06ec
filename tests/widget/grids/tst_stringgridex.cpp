#include "GridSetup.h"
#include "TInplaceEditEx.h"
#include "TStringGridEx.h"

#include <QApplication>
#include <QHeaderView>
#include <QSignalSpy>
#include <QTest>

using namespace kelvos;

class TestStringGridEx : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void captionsShowWhileHeaderCellsAreEmpty();
    void resetWritesKilometreHeader();
    void renderedCellsFollowColumnColors();
    void renderedStripesFollowRows();
    void columnCountAndDefinitionsStayEqual();
    void emptyCaptionIsStoredAsBlank();
    void integerColumnRefusesLettersWithBeep();
    void integerColumnStoresNormalisedText_data();
    void integerColumnStoresNormalisedText();
    void enterInSingleLineColumnMovesRight();
    void multiLineColumnKeepsLineBreaks();
    void readOnlyColumnOpensNoEditor();
    void topRowAndFullyVisibleRows();
    void currentCellSelectsFromFirstDataRow();

private:
    TInplaceEditEx* openEditor(int col, int row);
    TStringGridEx* grid = nullptr;
};

void TestStringGridEx::init() {
    grid = new TStringGridEx;
    configureMainGrid(*grid);
    grid->resize(800, 300);
    grid->show();
    QVERIFY(QTest::qWaitForWindowExposed(grid));
}

void TestStringGridEx::cleanup() {
    delete grid;
    grid = nullptr;
}

TInplaceEditEx* TestStringGridEx::openEditor(int col, int row) {
    grid->setCurrentCell(col, row);
    grid->setFocus();
    QTest::keyClick(grid, Qt::Key_F2);
    return grid->inplaceEditor();
}

void TestStringGridEx::captionsShowWhileHeaderCellsAreEmpty() {
    const QStringList captions{"LAP",      "Number",    "Total",    "LAPtime",   "LAP  + - ",
                               "Realtime", "LAP milli", "LAP Km/h", "Ave milli", "Ave Km/h"};
    for (int col = 0; col < 10; ++col)
        QCOMPARE(grid->fixedCellText(col), captions[col]);
    grid->setCells(3, 0, "own");
    QCOMPARE(grid->fixedCellText(3), QStringLiteral("own"));
}

void TestStringGridEx::resetWritesKilometreHeader() {
    grid->setCells(2, 5, "00:01:00:000");
    grid->setRowCount(40);
    grid->setTopRow(20);
    resetMainGrid(*grid, HeaderUnit::Kilometre);
    QCOMPARE(grid->fixedCellText(3), QStringLiteral("Laptime"));
    QCOMPARE(grid->fixedCellText(6), QStringLiteral("LAP_milli"));
    QCOMPARE(grid->cells(2, 5), QString());
    QCOMPARE(grid->rowCount(), 12);
    QCOMPARE(grid->topRow(), 1);
}

namespace {

// The background of a data cell as rendered, read below its text inset.
QColor renderedCellColor(TStringGridEx* grid, int col, int row) {
    const QImage image = grid->viewport()->grab().toImage();
    const QRect cell = grid->visualRect(grid->cellModel()->indexOf(col, row));
    return image.pixelColor(cell.left() + 1, cell.bottom() - 1);
}

} // namespace

void TestStringGridEx::renderedCellsFollowColumnColors() {
    grid->setCells(0, 1, "1");
    for (int col = 0; col < 8; ++col) {
        const QColor expected = grid->gridColumns()->items(col)->color();
        QCOMPARE(renderedCellColor(grid, col, 2), expected);
        QCOMPARE(grid->cellColor(col, 2), expected);
    }
    QCOMPARE(renderedCellColor(grid, 0, 1), fromStoredColor(8281904));
}

void TestStringGridEx::renderedStripesFollowRows() {
    grid->setStripeColor(QColor(200, 10, 10));
    grid->setGridStyle(gsStriped);
    for (int col : {0, 4, 7}) {
        QCOMPARE(renderedCellColor(grid, col, 2), QColor(200, 10, 10));
        QCOMPARE(renderedCellColor(grid, col, 3), QColor(Qt::black));
    }
}

void TestStringGridEx::columnCountAndDefinitionsStayEqual() {
    grid->setColCount(12);
    QCOMPARE(grid->gridColumns()->count(), 12);
    const TGridColumn* added = grid->gridColumns()->items(11);
    QCOMPARE(added->alignment(), taLeftJustify);
    QVERIFY(added->canEdit());
    QCOMPARE(added->dataType(), dtString);
    QCOMPARE(added->color(), grid->color());
    QCOMPARE(added->font(), grid->gridFont());
    QCOMPARE(grid->gridColumns()->items(9)->caption(), QStringLiteral("Ave Km/h"));

    grid->setColCount(10);
    QCOMPARE(grid->gridColumns()->count(), 10);
    QCOMPARE(grid->gridColumns()->items(9)->caption(), QStringLiteral("Ave Km/h"));

    grid->gridColumns()->add();
    QCOMPARE(grid->colCount(), 11);
    QCOMPARE(grid->cellModel()->columnCount(), 11);
    grid->gridColumns()->deleteItem(10);
    QCOMPARE(grid->colCount(), 10);
}

void TestStringGridEx::emptyCaptionIsStoredAsBlank() {
    grid->gridColumns()->items(2)->setCaption(QString());
    QCOMPARE(grid->gridColumns()->items(2)->caption(), QStringLiteral(" "));
}

void TestStringGridEx::integerColumnRefusesLettersWithBeep() {
    grid->gridColumns()->items(6)->setDataType(dtInteger);
    grid->setCells(6, 1, "12");
    TInplaceEditEx* editor = openEditor(6, 1);
    QVERIFY(editor);
    QSignalSpy refused(editor, &TInplaceEditEx::inputRefused);
    QTest::keyClick(editor, Qt::Key_End);
    QTest::keyClicks(editor, "a3");
    QCOMPARE(refused.count(), 1);
    QCOMPARE(editor->text(), QStringLiteral("123"));
}

void TestStringGridEx::integerColumnStoresNormalisedText_data() {
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("stored");
    QTest::newRow("minus alone") << "-"
                                 << "-0";
    QTest::newRow("leading zeros") << "007"
                                   << "7";
    QTest::newRow("plus sign") << "+42"
                               << "42";
    QTest::newRow("decimal keeps old text") << "1.5"
                                            << "old";
}

void TestStringGridEx::integerColumnStoresNormalisedText() {
    QFETCH(QString, typed);
    QFETCH(QString, stored);
    grid->gridColumns()->items(8)->setDataType(dtInteger);
    grid->setCells(8, 2, "old");
    TInplaceEditEx* editor = openEditor(8, 2);
    QVERIFY(editor);
    QTest::keyClicks(editor, typed);
    QTest::keyClick(editor, Qt::Key_Return);
    QCOMPARE(grid->cells(8, 2), stored);
}

void TestStringGridEx::enterInSingleLineColumnMovesRight() {
    TInplaceEditEx* editor = openEditor(1, 3);
    QVERIFY(editor);
    QTest::keyClicks(editor, "Aida");
    QTest::keyClick(editor, Qt::Key_Return);
    QCOMPARE(grid->cells(1, 3), QStringLiteral("Aida"));
    QCOMPARE(grid->currentCol(), 2);
    QCOMPARE(grid->currentRow(), 3);
    QVERIFY(!grid->inplaceEditor());
}

void TestStringGridEx::multiLineColumnKeepsLineBreaks() {
    grid->gridColumns()->items(1)->setMultiLine(true);
    grid->setCells(1, 2, "x");
    TInplaceEditEx* editor = openEditor(1, 2);
    QVERIFY(editor);
    QCOMPARE(editor->caretPosition(), 1);
    QTest::keyClick(editor, Qt::Key_Return);
    QTest::keyClicks(editor, "y");
    QTest::keyClick(editor, Qt::Key_Up);
    QVERIFY(grid->inplaceEditor());
    QTest::keyClick(editor, Qt::Key_Return, Qt::ControlModifier);
    QCOMPARE(grid->cells(1, 2), QStringLiteral("x\ny"));
    QCOMPARE(grid->currentRow(), 2);

    editor = openEditor(1, 2);
    QTest::keyClick(editor, Qt::Key_Down, Qt::ControlModifier);
    QCOMPARE(grid->currentRow(), 3);
    QVERIFY(grid->inplaceEditor());
}

void TestStringGridEx::readOnlyColumnOpensNoEditor() {
    grid->gridColumns()->items(5)->setCanEdit(false);
    QVERIFY(!openEditor(5, 1));
    QTest::keyClicks(grid, "9");
    QCOMPARE(grid->cells(5, 1), QString());
}

void TestStringGridEx::topRowAndFullyVisibleRows() {
    // Room for ten rows and half of an eleventh.
    grid->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    grid->resize(800, grid->horizontalHeader()->height() + 10 * 18 + 9 + 2 * grid->frameWidth());
    grid->setRowCount(40);
    QCOMPARE(grid->visibleDataRowCount(), 10);
    grid->setTopRow(3);
    QCOMPARE(grid->topRow(), 3);
    QCOMPARE(grid->visibleDataRowCount(), 10);
    grid->setRowCount(5);
    QCOMPARE(grid->topRow(), 1);
    QCOMPARE(grid->visibleDataRowCount(), 4);
}

void TestStringGridEx::currentCellSelectsFromFirstDataRow() {
    grid->setCurrentCell(0, 7);
    QCOMPARE(grid->currentRow(), 7);
    QCOMPARE(grid->currentCol(), 0);
    QCOMPARE(grid->selection(), (GridRect{0, 1, 0, 7}));
}

QTEST_MAIN(TestStringGridEx)
#include "tst_stringgridex.moc"
