#include "CellStore.h"
#include "CsvFile.h"
#include "HistoryRecorder.h"
#include "HistoryStore.h"
#include "MillisecondClock.h"
#include "RunController.h"
#include "RunSnapshot.h"
#include "TestFiles.h"

#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTest>

using namespace kelvos;

namespace {

const QDateTime kStart(QDate(2026, 5, 1), QTime(10, 0));

RunEvent runEvent(RunEventKind kind, qint32 total = 0) {
    RunEvent e;
    e.kind = kind;
    e.total = total;
    e.wallClock = kStart.addMSecs(total);
    e.details.names = {"Ann", "Bob", "Cid"};
    e.details.course = "400";
    e.details.courseChosen = true;
    return e;
}

RunEvent lapEvent(int competitor, qint32 number, qint32 total, qint32 lap) {
    RunEvent e = runEvent(RunEventKind::Lap, total);
    e.lap.competitor = competitor;
    e.lap.number = number;
    e.lap.total = total;
    e.lap.lap = lap;
    e.lap.average = total / number;
    e.lap.name = e.details.names[competitor - 1];
    e.lap.wallClock = e.wallClock.time().toString("hh:mm:ss");
    return e;
}

// A run of `laps` presses spread over the three competitors, as its events.
QList<RunEvent> runEvents(int laps, qint32 lapMs) {
    QList<RunEvent> events{runEvent(RunEventKind::Started)};
    std::array<int, 3> counts{};
    for (int i = 0; i < laps; ++i) {
        const int competitor = i % 3 + 1;
        const int number = ++counts[competitor - 1];
        events << lapEvent(competitor, number, number * lapMs + competitor, lapMs + competitor);
    }
    events << runEvent(RunEventKind::Stopped, laps * lapMs);
    return events;
}

QList<QStringList> mixRowsOf(const QList<RunEvent>& events) {
    QList<QStringList> rows;
    for (const RunEvent& e : events)
        if (e.kind == RunEventKind::Lap)
            rows << e.lap.rowTexts();
    return rows;
}

QList<QStringList> storedRows(HistoryStore& store, const QString& id) {
    QList<QStringList> rows;
    for (const HistoryLap& lap : store.run(id).value_or(HistoryRun{}).laps)
        rows << lap.row;
    return rows;
}

QStringList runIds(HistoryStore& store) {
    QStringList ids;
    QSqlQuery query = store.listQuery({});
    while (query.next())
        ids.prepend(query.value(0).toString()); // oldest first
    return ids;
}

void writeMixFile(const QString& path, const QList<QStringList>& rows) {
    CellStore cells(int(rows.size()) + 1, kLapColumnCount);
    for (int row = 0; row < rows.size(); ++row)
        cells.setRow(row + 1, rows[row]);
    QCOMPARE(writeCsvFile(path, csvFileBytes(cells, int(rows.size()))), QString());
}

} // namespace

class TestHistoryStore : public QObject {
    Q_OBJECT
private slots:
    void init() {
        dir_.emplace();
        QVERIFY(dir_->isValid());
    }

    // Three runs timed through the run model: each is kept once with every row its Mix grid
    // shows, a run restarted after its stop once with all its laps, and a run replayed by a
    // restore is not kept again.
    void recordsEveryRunOnce() {
        const QString path = dir_->filePath("data/history.sqlite");
        QStringList problems;
        QList<QList<QStringList>> expected;
        {
            HistoryRecorder recorder(path, {}, [&](const QString& p) { problems << p; });
            ManualClock clock;
            RunController run(clock, [&clock] { return kStart.addMSecs(clock.now()); });
            RunSnapshot grids;
            QList<RunEvent> firstRun;
            run.subscribe([&](const RunEvent& e) {
                recorder.take(e);
                grids.apply(e);
                if (expected.isEmpty())
                    firstRun << e;
            });
            run.setName(1, "Ann");
            run.setName(2, "Bob");
            run.setCourse(QString("400"));
            const auto laps = [&](const QList<int>& competitors) {
                for (const int competitor : competitors) {
                    clock.advance(1000 + 7 * competitor);
                    QVERIFY(run.lap(competitor));
                }
            };
            QVERIFY(run.start());
            laps({1, 2, 1, 3, 1});
            QVERIFY(run.stop());
            expected << grids.mixRows();

            QVERIFY(run.start());
            laps({1, 1, 2});
            QVERIFY(run.stop());
            QVERIFY(run.restart());
            laps({2, 1});
            QVERIFY(run.stop());
            expected << grids.mixRows();

            QVERIFY(run.start());
            QList<int> many;
            for (int i = 0; i < 1000; ++i)
                many << i % 3 + 1;
            laps(many);
            QVERIFY(run.stop());
            expected << grids.mixRows();
            for (const RunEvent& e : firstRun) // a restore replays a run already kept
                recorder.take(e);
        }
        QVERIFY2(problems.isEmpty(), qPrintable(problems.join('\n')));
        QCOMPARE(expected[1].size(), 5);
        HistoryStore store("reader");
        QCOMPARE(store.openFile(path), QString());
        const QStringList ids = runIds(store);
        QCOMPARE(ids.size(), 3);
        for (int i = 0; i < 3; ++i)
            QCOMPARE(storedRows(store, ids[i]), expected[i]);
        const HistoryRun first = *store.run(ids[0]);
        QCOMPARE(first.names, (std::array<QString, 3>{"Ann", "Bob", ""}));
        QCOMPARE(first.course, QString("400"));
        QCOMPARE(first.lapCount(1), 3);
        QCOMPARE(first.started, kStart);
    }

    // A folder of Mix files imported twice holds each run once; the rows are the file's.
    void importsAFolderOnce() {
        const QList<QStringList> rows = mixRowsOf(runEvents(9, 45000));
        writeMixFile(dir_->filePath("2605011000M.csv"), rows);
        writeMixFile(dir_->filePath("2605011100M.csv"), rows.first(4));
        testfiles::writeContents(dir_->filePath("empty.csv"), {});
        testfiles::writeContents(dir_->filePath("notes.csv"), "Lap,Name\r\n1,Ann\r\n");
        const QString path = dir_->filePath("history.sqlite");
        HistoryWriter writer(path, {}, [](const QString& p) { QFAIL(qPrintable(p)); });
        const ImportReport first = writer.importFiles({dir_->path()});
        QCOMPARE(first.added, 2);
        // the empty file, and the one whose first line is no lap
        QCOMPARE(first.problems.size(), 2);
        QCOMPARE(first.problems.filter("notes.csv: line 1 ").size(), 1);
        const ImportReport second =
            writer.importFiles({dir_->path(), dir_->filePath("2605011000M.csv")});
        QCOMPARE(second.added, 0);
        QCOMPARE(second.alreadyKept, 3);
        HistoryStore store("reader");
        QCOMPARE(store.openFile(path), QString());
        const QStringList ids = runIds(store);
        QCOMPARE(ids.size(), 2);
        QList<QList<QStringList>> kept{storedRows(store, ids[0]), storedRows(store, ids[1])};
        QVERIFY(kept.contains(rows));
        QVERIFY(kept.contains(rows.first(4)));
        const HistoryRun run = *store.run(ids[kept.indexOf(rows)]);
        QCOMPARE(run.names, (std::array<QString, 3>{"Ann", "Bob", "Cid"}));
        QCOMPARE(run.lapCount(2), 3);
    }

    // A database that cannot take runs is told once however many runs stop; the recorder keeps
    // taking events, and a database freed meanwhile takes the next run.
    void unwritableHistoryIsToldOnce_data() {
        QTest::addColumn<QString>("damage");
        QTest::newRow("damaged file") << "damaged";
        QTest::newRow("locked") << "locked";
        QTest::newRow("folder is a file") << "folder";
    }
    void unwritableHistoryIsToldOnce() {
        QFETCH(QString, damage);
        QString path = dir_->filePath("history.sqlite");
        std::optional<HistoryStore> locker;
        if (damage == "damaged") {
            testfiles::writeContents(path, QByteArray(8192, 'x'));
        } else if (damage == "folder") {
            testfiles::writeContents(dir_->filePath("file"), "x");
            path = dir_->filePath("file/history.sqlite");
        } else {
            locker.emplace("locker");
            QCOMPARE(locker->openFile(path), QString());
            QVERIFY(QSqlQuery(locker->database()).exec("BEGIN EXCLUSIVE"));
        }
        QStringList problems;
        HistoryRecorder recorder(path, {}, [&](const QString& p) { problems << p; });
        for (int run = 0; run < 2; ++run)
            for (const RunEvent& e : runEvents(5 + run, 1000))
                recorder.take(e);
        recorder.waitUntilWritten();
        QCOMPARE(problems.size(), 1);
        QVERIFY2(problems[0].contains("Mix"), qPrintable(problems[0]));
        if (!locker)
            return;
        QVERIFY(QSqlQuery(locker->database()).exec("COMMIT"));
        for (const RunEvent& e : runEvents(8, 1000))
            recorder.take(e);
        recorder.waitUntilWritten();
        QCOMPARE(locker->runCount(), 1);
    }

private:
    std::optional<QTemporaryDir> dir_; // a new one for each test
};

QTEST_GUILESS_MAIN(TestHistoryStore)
#include "tst_history_store.moc"
