#include "CellTableModel.h"

#include <QAbstractItemModelTester>
#include <QTest>
#include <functional>

using namespace kelvos;

// Every change the grids make to their table goes through the model's change notifications, so
// the views (and any view added later) stay in step with the cells: Qt's own model checker
// watches each change and fails the test on a notification that does not match the data.
class TestCellTableModel : public QObject {
    Q_OBJECT
private slots:
    void everyChangeKeepsViewsInStep_data() {
        using Change = std::function<void(CellTableModel&)>;
        QTest::addColumn<Change>("change");
        QTest::addColumn<int>("dataRows");
        QTest::addColumn<QString>("lastRow");
        QTest::newRow("grow the rows")
            << Change([](CellTableModel& m) { m.setGridRowCount(31); }) << 30 << "||";
        QTest::newRow("shrink to the header and one row")
            << Change([](CellTableModel& m) { m.setGridRowCount(2); }) << 1 << "1|a|x";
        QTest::newRow("a lap row past the end grows the grid") << Change([](CellTableModel& m) {
            m.setRow(14, {"14", "b", "y"});
        }) << 14 << "14|b|y";
        QTest::newRow("a row from comma text")
            << Change([](CellTableModel& m) { m.setRowCommaText(12, u"12,\"c,d\",z"); }) << 12
            << "12|c,d|z";
        QTest::newRow("more columns")
            << Change([](CellTableModel& m) { m.setGridColCount(5); }) << 12 << "||||";
        QTest::newRow("a cell edited") << Change([](CellTableModel& m) {
            QVERIFY(m.setData(m.indexOf(2, 12), QStringLiteral("e"), Qt::EditRole));
        }) << 12 << "||e";
        QTest::newRow("cleared") << Change([](CellTableModel& m) { m.clearCells(); }) << 12 << "||";
        QTest::newRow("a sort") << Change([](CellTableModel& m) {
            m.changeCells([](CellStore& store) { store.setCell(1, 12, QStringLiteral("s")); });
        }) << 12 << "|s|";
        QTest::newRow("a loaded file of another size") << Change([](CellTableModel& m) {
            CellStore loaded(4, 2);
            loaded.setCell(0, 3, QStringLiteral("3"));
            m.replaceStore(loaded);
        }) << 3 << "3|";
    }

    void everyChangeKeepsViewsInStep() {
        QFETCH(std::function<void(CellTableModel&)>, change);
        QFETCH(int, dataRows);
        QFETCH(QString, lastRow);
        CellTableModel model;
        model.setGridColCount(3);
        model.setGridRowCount(13);
        model.setRowCommaText(0, u"LAP,Number,Total");
        model.setRowCommaText(1, u"1,a,x");
        QAbstractItemModelTester tester(&model,
                                        QAbstractItemModelTester::FailureReportingMode::QtTest);
        change(model);
        QCOMPARE(model.rowCount(), dataRows);
        QStringList cells;
        for (int col = 0; col < model.columnCount(); ++col)
            cells << model.data(model.index(dataRows - 1, col), Qt::DisplayRole).toString();
        QCOMPARE(cells.join('|'), lastRow);
    }
};

QTEST_MAIN(TestCellTableModel)
#include "tst_celltablemodel.moc"
