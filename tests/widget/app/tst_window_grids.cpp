#include "AppFixture.h"
#include "CsvFile.h"
#include "TStrSortGrid.h"
#include "TStringGridEx.h"
#include "TestFiles.h"

#include <QAction>
#include <QComboBox>
#include <QLineEdit>
#include <QMenu>
#include <QScreen>

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

    // The grids scroll by whole rows: the top row shown starts at the top edge, under the
    // header, and the newest row is whole, while laps follow and after a stop's trim.
    void gridsShowWholeRows_data() {
        QTest::addColumn<QString>("presses");
        QTest::addColumn<QByteArray>("grid");
        QTest::newRow("Main grid following lap 15") << "N" + QString(15, '1') << QByteArray("main");
        QTest::newRow("Main grid after the stop")
            << "N" + QString(15, '1') + "S" << QByteArray("main");
        QTest::newRow("Mix grid after the stop")
            << "N" + QString(12, '1') + "S" << QByteArray("mix");
        QTest::newRow("Mix grid following lap 40") << "N" + QString(40, '2') << QByteArray("mix");
    }
    void gridsShowWholeRows() {
        QFETCH(QString, presses);
        QFETCH(QByteArray, grid);
        AppFixture app;
        app.play(presses);
        QCoreApplication::processEvents();
        kelvos::TextGrid* shown = grid == "main" ? static_cast<kelvos::TextGrid*>(mainGrid(app))
                                                 : static_cast<kelvos::TextGrid*>(mixGrid(app));
        const int top = shown->topRow();
        QVERIFY(top > 1); // the grid has scrolled
        QCOMPARE(shown->rowViewportPosition(top - 1), 0);
        const int newest = shown->rowCount() - 1;
        QVERIFY(shown->rowViewportPosition(newest - 1) + shown->rowHeight(newest - 1) <=
                shown->viewport()->height());
    }

    // After every press, what the window shows of the grids (laps that grow and scroll them,
    // a stop's trim, a new start) is what a fresh paint of the same rows shows.
    void gridsOnScreenMatchAFreshPaint() {
        AppFixture app;
        const QString presses = "N" + QString(15, '1') + "2S" + "N" + QString(13, '1') + "3";
        for (int press = 0; press < presses.size(); ++press) {
            app.play(presses.mid(press, 1));
            QCoreApplication::processEvents();
            for (kelvos::TextGrid* grid : {static_cast<kelvos::TextGrid*>(mainGrid(app)),
                                           static_cast<kelvos::TextGrid*>(mixGrid(app))}) {
                QWidget* view = grid->viewport();
                const QPoint at = view->mapTo(app.window.get(), QPoint(0, 0));
                const QImage shown = app.window->screen()
                                         ->grabWindow(app.window->winId(), at.x(), at.y(),
                                                      view->width(), view->height())
                                         .toImage()
                                         .convertToFormat(QImage::Format_RGB32);
                const QImage fresh = view->grab().toImage().convertToFormat(QImage::Format_RGB32);
                QVERIFY2(shown == fresh, qPrintable(QString("%1 after press %2 of %3")
                                                        .arg(grid->objectName())
                                                        .arg(press)
                                                        .arg(presses)));
            }
        }
    }

    // Every lap gets its row in both grids and in the stop's automatic Mix file, whatever row
    // count a stop's trim or a restart left the grids with.
    void everyLapIsWrittenWhateverTheRowCount_data() {
        QTest::addColumn<QString>("presses");
        QTest::newRow("Plus1Lap after a stop's trim") << "N1121SP";
        QTest::newRow("competitors 2 and 3 after a restart") << "N112SR3321S";
        QTest::newRow("Plus1Lap past the fixed rows") << "N" + QString(13, '1') + "SP";
        QTest::newRow("restart and Plus1Lap below the fixed rows") << "N1SR1SPP";
    }
    void everyLapIsWrittenWhateverTheRowCount() {
        QFETCH(QString, presses);
        AppFixture app;
        app.click("start");
        app.play(presses.mid(1));
        const kelvos::LapState& laps = app.window->lapState();
        QCOMPARE(mainGrid(app)->rowCount(), laps.Lap1.LapCount + 1);
        for (int row = 1; row <= laps.Lap1.LapCount; ++row)
            QCOMPARE(mainGrid(app)->cells(0, row), QString::number(row));
        const QList<QByteArray> lines =
            testfiles::contents(
                app.workingDirectory.filePath(kelvos::automaticMixFileName(app.wallClock)))
                .split('\n');
        QCOMPARE(lines.size() - 1, laps.MixRows); // each line ends with CR LF
        for (int row = 1; row <= laps.MixRows; ++row) {
            QVERIFY(!mixGrid(app)->cells(2, row).isEmpty());
            QVERIFY2(lines[row - 1].startsWith(mixGrid(app)->cells(0, row).toUtf8() + ','),
                     lines[row - 1].constData());
        }
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
};

QTEST_MAIN(TestWindowGrids)
#include "tst_window_grids.moc"
