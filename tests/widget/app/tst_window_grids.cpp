#include "AppFixture.h"
#include "TStrSortGrid.h"
#include "TStringGridEx.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QMenu>

namespace {
TStringGridEx* mainGrid(const AppFixture& app) {
    return app.control<TStringGridEx>("StringGridEx1");
}
TStrSortGrid* mixGrid(const AppFixture& app) {
    return app.control<TStrSortGrid>("StrSortGrid1");
}

void lapOf(AppFixture& app, const char* button, quint32 ms) {
    app.advance(ms);
    app.click(button);
}
} // namespace

class TestWindowGrids : public QObject {
    Q_OBJECT
private slots:
    void atCreation() {
        AppFixture app;
        QCOMPARE(mainGrid(app)->rowCount(), 12);
        QCOMPARE(mainGrid(app)->fixedCellText(3), QString("LAPtime")); // the column caption
        QCOMPARE(mixGrid(app)->rowCount(), 30);
        QCOMPARE(mixGrid(app)->rowCommaText(0),
                 QString("Lap,Number,Total,Laptime,Lap+-,Realtime,Lap-milli,Lap-Km/h,Ave-milli,"
                         "Ave-Km/h"));
        QCOMPARE(mixGrid(app)->cells(1, 4), QString("5864m"));
        QCOMPARE(mixGrid(app)->cells(2, 13), QString("TI"));
        QCOMPARE(mixGrid(app)->cells(3, 13), QString("Aida"));
    }

    void startEmptiesTheGridsAndWritesTheHeaders() {
        AppFixture app;
        app.click("start");
        QCOMPARE(mainGrid(app)->fixedCellText(3), QString("Laptime"));
        QCOMPARE(mixGrid(app)->cells(1, 4), QString());
        app.click("stop");
        QCOMPARE(mainGrid(app)->rowCount(), 12); // no lap: the grids keep their size
        QCOMPARE(mixGrid(app)->rowCount(), 30);
    }

    void lapRowsInBothGridsInPressOrder() {
        AppFixture app;
        app.control<QLineEdit>("Edit2")->setText("B");
        app.click("start");
        lapOf(app, "LAP", 62000);
        lapOf(app, "LAP2", 1000);
        lapOf(app, "LAP", 61078);
        QCOMPARE(mainGrid(app)->rows(2).mid(0, 5),
                 QStringList({"2", "1", "00:02:04:078", "00:01:02:078", "+0.078"}));
        QCOMPARE(mainGrid(app)->cells(5, 2), QString("12:34:56"));
        QCOMPARE(mixGrid(app)->cells(1, 2), QString("B"));
        QCOMPARE(mixGrid(app)->cells(0, 3), QString("2"));
        QCOMPARE(mixGrid(app)->currentRow(), 3);
        app.click("stop");
        QCOMPARE(mainGrid(app)->rowCount(), 3); // header and the two laps
        QCOMPARE(mixGrid(app)->rowCount(), 4);
        app.click("CuteButton1"); // restart: back to the full size, cells untouched
        QCOMPARE(mainGrid(app)->rowCount(), 12);
        QCOMPARE(mainGrid(app)->cells(0, 2), QString("2"));
    }

    void gridsGrowAndFollowTheNewestRow() {
        AppFixture app;
        app.click("start");
        for (int lap = 1; lap <= 11; ++lap)
            lapOf(app, "LAP", 1000);
        QCOMPARE(mainGrid(app)->rowCount(), 12);
        lapOf(app, "LAP", 1000);
        QCOMPARE(mainGrid(app)->rowCount(), 13);
        const int visible = mainGrid(app)->visibleDataRowCount();
        QVERIFY(visible < 12);
        QCOMPARE(mainGrid(app)->topRow(), 12 - visible + 1); // row 12 is the last one in view
        for (int press = 13; press <= 29; ++press)
            lapOf(app, "LAP2", 10);
        QCOMPARE(mixGrid(app)->rowCount(), 30);
        lapOf(app, "LAP3", 10);
        QCOMPARE(mixGrid(app)->rowCount(), 31); // the 30th row of all competitors together
    }

    void unitSwitchRewritesTheHeaders() {
        AppFixture app;
        app.click("start");
        lapOf(app, "LAP", 1000);
        app.control<QMenu>("PopupMenu2")->findChild<QAction*>("MilePerHour1")->trigger();
        QCOMPARE(mainGrid(app)->fixedCellText(7), QString("LAP_M/h"));
        QCOMPARE(mixGrid(app)->cells(7, 0), QString("Lap-M/h"));
        QCOMPARE(mainGrid(app)->cells(0, 1), QString("1")); // recorded rows stay
        app.click("stop");
        app.click("CuteButton2");
        QCOMPARE(mainGrid(app)->fixedCellText(7), QString("LAP_M/h")); // reset keeps the unit
    }

    void sortButtons() {
        AppFixture app;
        app.click("start");
        for (quint32 lap : {65000u, 59900u, 61000u})
            lapOf(app, "LAP", lap);
        app.click("stop");
        app.click("CuteButton32"); // by lap time
        QCOMPARE(mainGrid(app)->cols(3).mid(1),
                 QStringList({"00:00:59:900", "00:01:01:000", "00:01:05:000"}));
        app.click("CuteButton33"); // back into recording order
        QCOMPARE(mainGrid(app)->cols(0).mid(1), QStringList({"1", "2", "3"}));
    }

    void numberSortGroupsTheCompetitors() {
        AppFixture app;
        app.click("start");
        lapOf(app, "LAP2", 100);
        lapOf(app, "LAP", 100);
        lapOf(app, "LAP2", 100);
        lapOf(app, "LAP", 100);
        app.click("stop");
        app.click("CuteButton34");
        QCOMPARE(mixGrid(app)->cols(1).mid(1), QStringList({"1", "1", "2", "2"}));
        QCOMPARE(mixGrid(app)->cols(0).mid(1), QStringList({"1", "2", "1", "2"}));
    }

    void mixGridFloatsAndDocksBack() {
        AppFixture app;
        auto* panel = app.control("Panel1");
        app.control<QCheckBox>("CheckBox3")->setChecked(true);
        QVERIFY(mixGrid(app)->isWindow());
        QVERIFY(mixGrid(app)->isVisible());
        app.control<QCheckBox>("CheckBox3")->setChecked(false);
        QCOMPARE(mixGrid(app)->parentWidget(), panel);
        QVERIFY(!mixGrid(app)->isWindow());
        app.click("start"); // the handlers still reach the grid
        lapOf(app, "LAP", 500);
        QCOMPARE(mixGrid(app)->cells(0, 1), QString("1"));
    }
};

QTEST_MAIN(TestWindowGrids)
#include "tst_window_grids.moc"
