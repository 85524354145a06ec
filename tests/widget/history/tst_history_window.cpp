#include "CsvFile.h"
#include "HistoryWindow.h"
#include "TChart.h"
#include "TestFiles.h"

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

private:
    QTemporaryDir dir_;
    QString path_;
    QList<HistoryRun> runs_;
};

QTEST_MAIN(TestHistoryWindow)
#include "tst_history_window.moc"
