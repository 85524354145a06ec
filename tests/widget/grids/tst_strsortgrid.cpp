#include "GridSetup.h"
#include "SortArrows.h"
#include "TStrSortGrid.h"

#include <QHeaderView>
#include <QScrollBar>
#include <QTest>

using namespace kelvos;

class TestStrSortGrid : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void introShowsUsageNoteAndCircuits();
    void firstClickSortsDescendingAndDrawsDownArrow();
    void secondClickOnOtherColumnSortsAscending();
    void upOnlySortsAscendingEveryTime();
    void doubleClickSortsTwice();
    void emptyHeaderCellSortsWithoutArrow();
    void noSortIgnoresPresses();
    void arrowKeepsCapturedTextAfterHeaderRewrite();
    void numberSortGroupsCompetitors();
    void arrowBitmapsAreOutlinedTriangles();
    void scrollBarPaintsEveryPixel();

private:
    void pressHeader(int col);
    QImage renderedHeaderCell(int col);
    bool showsArrow(int col, const QImage& arrow);
    QStringList dataColumn(int col) const;
    TStrSortGrid* grid = nullptr;
};

void TestStrSortGrid::init() {
    grid = new TStrSortGrid;
    configureMixGrid(*grid);
    grid->setRowCommaText(0, mixGridHeaderLine(HeaderUnit::Kilometre));
    grid->resize(780, 400);
    grid->show();
    QVERIFY(QTest::qWaitForWindowExposed(grid));
}

void TestStrSortGrid::cleanup() {
    delete grid;
    grid = nullptr;
}

void TestStrSortGrid::pressHeader(int col) {
    QHeaderView* header = grid->horizontalHeader();
    const int x = header->sectionViewportPosition(col) + header->sectionSize(col) / 2;
    QTest::mousePress(header->viewport(), Qt::LeftButton, {}, QPoint(x, header->height() / 2));
    QTest::mouseRelease(header->viewport(), Qt::LeftButton, {}, QPoint(x, header->height() / 2));
}

QImage TestStrSortGrid::renderedHeaderCell(int col) {
    QHeaderView* header = grid->horizontalHeader();
    const QImage image = header->viewport()->grab().toImage();
    return image.copy(header->sectionViewportPosition(col), 0, header->sectionSize(col),
                      header->height());
}

// Whether the arrow appears, unscaled, where it belongs: beside the captured text plus Spacing.
bool TestStrSortGrid::showsArrow(int col, const QImage& arrow) {
    const QImage cell = renderedHeaderCell(col);
    const int textWidth =
        QFontMetrics(grid->gridFont().font).horizontalAdvance(grid->sortState().capturedText);
    const QPoint origin(1 + textWidth + grid->spacing(), 2);
    for (int y = 0; y < arrow.height(); ++y) {
        for (int x = 0; x < arrow.width(); ++x) {
            if (cell.pixelColor(origin + QPoint(x, y)) != arrow.pixelColor(x, y))
                return false;
        }
    }
    return true;
}

QStringList TestStrSortGrid::dataColumn(int col) const {
    return grid->cols(col).mid(1);
}

void TestStrSortGrid::introShowsUsageNoteAndCircuits() {
    fillMixGridIntro(*grid);
    QCOMPARE(grid->rows(13).mid(0, 4), (QStringList{" ", "3703m", "TI", "Aida"}));
    QCOMPARE(grid->cells(4, 3), QStringLiteral("Key  GO!"));
    QCOMPARE(grid->cells(7, 0), QStringLiteral("Lap-Km/h"));
}

void TestStrSortGrid::firstClickSortsDescendingAndDrawsDownArrow() {
    for (int r = 1; r <= 5; ++r)
        grid->setCells(0, r, QString::number(r));
    pressHeader(0);
    QCOMPARE(dataColumn(0).mid(0, 6), (QStringList{"5", "4", "3", "2", "1", ""}));
    QVERIFY(showsArrow(0, sortArrowDown()));
}

void TestStrSortGrid::secondClickOnOtherColumnSortsAscending() {
    for (int r = 1; r <= 5; ++r) {
        grid->setCells(0, r, QString::number(r));
        grid->setCells(3, r, QString::number(6 - r));
    }
    pressHeader(0);
    pressHeader(3);
    QStringList expected(24);
    expected << "1"
             << "2"
             << "3"
             << "4"
             << "5";
    QCOMPARE(dataColumn(3), expected);
    QVERIFY(showsArrow(3, sortArrowUp()));
    QVERIFY(!showsArrow(0, sortArrowDown()));
}

void TestStrSortGrid::upOnlySortsAscendingEveryTime() {
    grid->setSortOps(soUponly);
    grid->setCells(1, 1, "b");
    grid->setCells(1, 2, "a");
    for (int click = 0; click < 2; ++click) {
        pressHeader(1);
        QCOMPARE(dataColumn(1).mid(27), (QStringList{"a", "b"}));
        QVERIFY(grid->sortState().ascending);
    }
}

// A double-click reaches the header as press, release, double-click, release: two sorts, as
// two clicks give.
void TestStrSortGrid::doubleClickSortsTwice() {
    for (int r = 1; r <= 3; ++r)
        grid->setCells(0, r, QString::number(r));
    QHeaderView* header = grid->horizontalHeader();
    const QPoint cell(header->sectionViewportPosition(0) + 5, header->height() / 2);
    pressHeader(0);
    QTest::mouseDClick(header->viewport(), Qt::LeftButton, {}, cell);
    QTest::mouseRelease(header->viewport(), Qt::LeftButton, {}, cell);
    QCOMPARE(dataColumn(0).mid(26), (QStringList{"1", "2", "3"}));
    pressHeader(0); // the third sort of the column: descending again
    QCOMPARE(dataColumn(0).mid(0, 3), (QStringList{"3", "2", "1"}));
}

void TestStrSortGrid::emptyHeaderCellSortsWithoutArrow() {
    grid->setCells(1, 1, "z");
    pressHeader(1);
    QVERIFY(showsArrow(1, sortArrowDown()));
    grid->setCells(5, 0, QString());
    grid->setCells(5, 1, "q");
    pressHeader(5);
    QCOMPARE(grid->cells(5, 29), QStringLiteral("q"));
    QVERIFY(!showsArrow(1, sortArrowDown()) && !showsArrow(1, sortArrowUp()));
    QVERIFY(!showsArrow(5, sortArrowUp()));
}

void TestStrSortGrid::noSortIgnoresPresses() {
    grid->setSortOps(soNon);
    grid->setCells(0, 1, "a");
    grid->setCells(0, 2, "b");
    grid->setCurrentCell(0, 1);
    pressHeader(0);
    QCOMPARE(dataColumn(0).mid(0, 2), (QStringList{"a", "b"}));
    QVERIFY(!grid->sortState().sorted);
    const QRect cell = grid->visualRect(grid->cellModel()->indexOf(2, 3));
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, cell.center());
    QCOMPARE(grid->currentRow(), 1);
    QCOMPARE(grid->currentCol(), 0);
}

void TestStrSortGrid::arrowKeepsCapturedTextAfterHeaderRewrite() {
    pressHeader(2);
    grid->setRowCommaText(0, mixGridHeaderLine(HeaderUnit::Mile));
    grid->setCells(2, 0, "A much longer header text");
    QCOMPARE(grid->sortState().capturedText, QStringLiteral("Total"));
    QVERIFY(showsArrow(2, sortArrowDown()));
}

void TestStrSortGrid::numberSortGroupsCompetitors() {
    const QStringList names{"2", "1", "2", "1"};
    for (int r = 1; r <= 4; ++r) {
        grid->setCells(0, r, QString::number(r));
        grid->setCells(1, r, names[r - 1]);
    }
    grid->numberSort(1);
    QStringList expected(25);
    expected << "2"
             << "4"
             << "1"
             << "3";
    QCOMPARE(dataColumn(0), expected);
}

void TestStrSortGrid::arrowBitmapsAreOutlinedTriangles() {
    for (const QImage* arrow : {&sortArrowUp(), &sortArrowDown()}) {
        QCOMPARE(arrow->size(), QSize(8, 9));
        QCOMPARE(arrow->pixelColor(0, 0), QColor(Qt::lightGray));
        QCOMPARE(arrow->pixelColor(7, 8), QColor(Qt::lightGray));
    }
    // Up: the left edge dark, the right edge and the base white.
    QCOMPARE(sortArrowUp().pixelColor(0, 6), QColor(Qt::darkGray));
    QCOMPARE(sortArrowUp().pixelColor(7, 6), QColor(Qt::white));
    QCOMPARE(sortArrowUp().pixelColor(3, 7), QColor(Qt::white));
    // Down: the top edge and the left edge dark, the right edge white.
    QCOMPARE(sortArrowDown().pixelColor(3, 1), QColor(Qt::darkGray));
    QCOMPARE(sortArrowDown().pixelColor(1, 3), QColor(Qt::darkGray));
    QCOMPARE(sortArrowDown().pixelColor(6, 3), QColor(Qt::white));
    QVERIFY(&sortArrowUp() == &sortArrowUp());
}

// The bar paints itself opaque, so nothing beneath is painted first: a pixel it leaves shows
// whatever the window's buffer held there.
void TestStrSortGrid::scrollBarPaintsEveryPixel() {
    QScrollBar* bar = grid->verticalScrollBar();
    QVERIFY(bar->isVisible());
    const QColor unpainted(255, 0, 255);
    QImage image(bar->size(), QImage::Format_RGB32);
    image.fill(unpainted);
    bar->render(&image, QPoint(), QRegion(), QWidget::DrawChildren);
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            QVERIFY2(image.pixelColor(x, y) != unpainted,
                     qPrintable(QString("pixel %1,%2").arg(x).arg(y)));
}

QTEST_MAIN(TestStrSortGrid)
#include "tst_strsortgrid.moc"
