#include "CsvFile.h"
#include "HistoryMenu.h"
#include "HistoryRecorder.h"
#include "HistoryWindow.h"
#include "TChart.h"
#include "TestFiles.h"

#include <QAction>
#include <QFileDialog>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>

using namespace kelvos;

namespace {

// A run of `laps` laps of competitor 1 named `name`, `lapMs` each, on `course`.
HistoryRun makeRun(const QString& name, const QString& course, const QDateTime& started, int laps,
                   qint32 lapMs) {
    HistoryRun run;
    run.id = newRunId();
    run.started = started;
    run.stopped = started.addMSecs(qint64(laps) * lapMs);
    run.course = course;
    run.unit = "km/h";
    run.names = {name, "", ""};
    for (int i = 1; i <= laps; ++i)
        run.laps << HistoryLap{1, i * lapMs, lapMs,
                               QStringList{QString::number(i), name, QString::number(i * lapMs), "",
                                           "", "", QString::number(lapMs), "",
                                           QString::number(lapMs), ""}};
    return run;
}

int shownRows(QTableView* list) {
    auto* model = list->model();
    while (model->canFetchMore({}))
        model->fetchMore({});
    return model->rowCount();
}

} // namespace

class TestHistoryWindow : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() {
        QVERIFY(dir_.isValid());
        path_ = dir_.filePath("history.sqlite");
        HistoryStore store("filler");
        QCOMPARE(store.openFile(path_), QString());
        const QDateTime day(QDate(2026, 4, 1), QTime(9, 0));
        runs_ = {makeRun("Ann", "400", day, 5, 61000),
                 makeRun("Bob", "400", day.addDays(1), 7, 59000),
                 makeRun("Ann", "800", day.addDays(2), 3, 120000),
                 makeRun("Ann", "400", day.addDays(-10), 2, 58000)};
        for (const HistoryRun& run : runs_)
            QCOMPARE(store.add(run), HistoryStore::Added::Added);
    }

    // The search narrows the list as it is typed; Enter on a run opens its laps and chart, and
    // its export is the Mix file of its rows.
    void searchAndOpen() {
        HistoryWindow window(path_);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QCOMPARE(window.objectName(), QString("HistoryWindow"));
        auto* list = window.findChild<QTableView*>("historyList");
        auto* name = window.findChild<QLineEdit*>("historyName");
        auto* course = window.findChild<QLineEdit*>("historyCourse");
        QCOMPARE(shownRows(list), 4);

        name->setFocus();
        QTest::keyClicks(name, "ann");
        QCOMPARE(shownRows(list), 3);
        course->setFocus();
        QTest::keyClicks(course, "80");
        QCOMPARE(shownRows(list), 1);
        QCOMPARE(list->model()->index(0, 2).data().toString(), QString("800"));

        course->clear();
        QCOMPARE(shownRows(list), 3); // newest first: the 800 run, then the 400 runs
        const QRect second = list->visualRect(list->model()->index(1, 1));
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, second.center());
        QTest::keyClick(list, Qt::Key_Return);
        auto* laps = window.findChild<QTableWidget*>("historyLaps");
        QCOMPARE(laps->rowCount(), 5);
        QCOMPARE(laps->item(4, 2)->text(), QString::number(5 * 61000));
        QCOMPARE(window.findChild<TChart*>("historyChart")->pointCount(0), 5);

        const QString file = dir_.filePath("export.csv");
        QCOMPARE(window.exportCsv(file), QString());
        const CsvFileText text = readCsvFile(file);
        QCOMPARE(csvLines(text.text).size(), 5);
        QCOMPARE(csvLines(text.text).first().toString().split(',').value(1), QString("Ann"));
        const QString report = dir_.filePath("report.pdf");
        QCOMPARE(window.exportPdf(report), QString());
        QVERIFY(testfiles::contents(report).startsWith("%PDF"));
    }

    // Ann's runs on the 400 course, oldest first: best lap and average lap, run by run.
    void progressOfACompetitor() {
        HistoryWindow window(path_);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QTest::keyClicks(window.findChild<QLineEdit*>("historyName"), "Ann");
        QTest::keyClicks(window.findChild<QLineEdit*>("historyCourse"), "400");
        QTest::mouseClick(window.findChild<QPushButton*>("historyProgress"), Qt::LeftButton);
        auto* chart = window.findChild<TChart*>("historyChart");
        QCOMPARE(chart->pointCount(0), 2);
        QCOMPARE(chart->point(0, 0).y(), 58000.0);
        QCOMPARE(chart->point(0, 1).y(), 61000.0);
    }

    // "Import..." opens a file dialog; the Mix files typed into it go into the history, the
    // operator is told what was taken and what could not be, and "History..." lists the run.
    void importThroughTheMenu() {
        const QString runFile = dir_.filePath("bob.csv");
        testfiles::writeContents(
            runFile,
            "1,Bob,00:00:59:000,00:00:59:000,+59.000,09:00:59,59000,24.407,59000,24.407\r\n"
            "2,Bob,00:01:57:500,00:00:58:500,-0.500,09:01:57,58500,24.615,58750,24.511\r\n");
        const QString notMix = dir_.filePath("notes.csv");
        testfiles::writeContents(notMix, "not,a,mix,file\r\n");
        QWidget window;
        QAction show("History...", &window);
        QAction import("Import...", &window);
        HistoryRecorder history(dir_.filePath("imported.sqlite"), {}, [](const QString&) {});
        QStringList told;
        HistoryMenu menu(&show, &import, history, dir_.filePath("imported.sqlite"), &window,
                         [&told](const QString& text) { told << text; });
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));

        for (const QString& expected :
             {QString("1 run(s) imported, 0 already in the history.\nNot imported:\n"),
              QString("0 run(s) imported, 1 already in the history.\nNot imported:\n")}) {
            import.trigger();
            auto* dialog = window.findChild<QFileDialog*>("fileDialog");
            QVERIFY(dialog);
            QVERIFY(QTest::qWaitForWindowExposed(dialog));
            auto* fileName = dialog->findChild<QLineEdit*>("fileNameEdit");
            QTest::keyClicks(fileName, QString("\"%1\" \"%2\"").arg(runFile, notMix));
            QTest::keyClick(fileName, Qt::Key_Return);
            QTRY_COMPARE(told.size(), 1);
            QCOMPARE(told.takeFirst(), expected + notMix + ": line 1 is not a lap of a Mix file");
            QTRY_VERIFY(!window.findChild<QFileDialog*>("fileDialog"));
        }
        show.trigger();
        auto* shown = window.findChild<HistoryWindow*>();
        QVERIFY(shown && shown->isVisible());
        auto* list = shown->findChild<QTableView*>("historyList");
        QCOMPARE(shownRows(list), 1);
        QCOMPARE(list->model()->index(0, 3).data().toString(), QString("Bob"));
    }

private:
    QTemporaryDir dir_;
    QString path_;
    QList<HistoryRun> runs_;
};

QTEST_MAIN(TestHistoryWindow)
#include "tst_history_window.moc"
