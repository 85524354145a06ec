#include "AppFixture.h"
#include "CsvFile.h"
#include "JournalReader.h"
#include "RestoreMark.h"
#include "TChart.h"
#include "TStrSortGrid.h"
#include "TStringGridEx.h"
#include "TestFiles.h"
#include "TextGrid.h"

#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QProgressDialog>
#include <sys/mount.h>

using kelvos::JournalEntry;
using Kind = JournalEntry::Kind;

namespace {
QStringList mixRows(const AppFixture& app) {
    QStringList rows;
    const auto* grid = app.control<TStrSortGrid>("StrSortGrid1");
    for (int row = 1; row <= app.window->lapState().MixRows; ++row)
        rows << grid->rowCommaText(row);
    return rows;
}

// Everything a run shows: the rows of both grids, where they are scrolled to and their current
// cells, the chart's points and axes, and the figures.
QStringList shownRun(const AppFixture& app) {
    QStringList shown;
    for (const char* name : {"StringGridEx1", "StrSortGrid1"}) {
        const auto* grid = app.control<kelvos::TextGrid>(name);
        shown << QString("%1 top %2 current %3:%4")
                     .arg(name)
                     .arg(grid->topRow())
                     .arg(grid->currentRow())
                     .arg(grid->currentCol());
    }
    const auto* main = app.control<TStringGridEx>("StringGridEx1");
    for (int row = 0; row < main->rowCount(); ++row)
        shown << "main " + main->rowCommaText(row);
    const auto* mix = app.control<TStrSortGrid>("StrSortGrid1");
    for (int row = 0; row < mix->rowCount(); ++row)
        shown << "mix " + mix->rowCommaText(row);
    const auto* chart = app.control<TChart>("Chart1");
    for (const auto axis : {kelvos::chart::AxisId::Right, kelvos::chart::AxisId::Bottom}) {
        const kelvos::chart::AxisRange range = chart->axisRange(axis);
        shown << QString("axis %1: %2 %3 %4")
                     .arg(int(axis))
                     .arg(range.minimum)
                     .arg(range.maximum)
                     .arg(range.automatic);
    }
    for (int series = 0; series < 2; ++series)
        for (int i = 0; i < chart->pointCount(series); ++i)
            shown << QString("point %1: %2 %3")
                         .arg(series)
                         .arg(chart->point(series, i).x())
                         .arg(chart->point(series, i).y());
    // The figures of the run; not the lap in progress, which is as old as the last refresh,
    // nor the message about the restore.
    for (const QLabel* label : app.window->findChildren<QLabel*>()) {
        if (label->objectName() != "Label3" && !label->objectName().startsWith("qt_"))
            shown << label->objectName() + " " + label->text();
    }
    return shown;
}

// A run of the three competitors with names, longer than the grids show, with a stop and a
// restart, left running: the journal it leaves.
QByteArray journalOfARun(AppFixture& app) {
    app.control<QLineEdit>("Edit2")->setText("B, \"x\"");
    app.click("start");
    for (int lap = 0; lap < 40; ++lap) {
        app.advance(60000 + 731 * (lap % 9));
        app.click(lap % 4 == 1 ? "LAP2" : lap % 5 == 3 ? "LAP3" : "LAP");
    }
    app.click("stop");
    app.click("CuteButton1"); // restart: the run goes on
    app.advance(5000);
    app.click("LAP");
    return testfiles::contents(app.journalFile());
}

// The texts of every message shown.
QString problemText(const AppFixture& app) {
    QStringList texts;
    for (const QMessageBox* message : app.window->findChildren<QMessageBox*>("problemMessage"))
        texts << message->text();
    return texts.join('\n');
}

bool mounted(const QString& path, const char* type, const char* options, unsigned long flags) {
    const QByteArray target = QFile::encodeName(path);
    return ::mount(type ? type : target.constData(), target.constData(), type, flags, options) == 0;
}

// The file read-only for every user, root included: itself mounted read-only on its place.
bool mountReadOnly(const QString& path) {
    return mounted(path, nullptr, nullptr, MS_BIND) &&
           mounted(path, nullptr, nullptr, MS_REMOUNT | MS_BIND | MS_RDONLY);
}
} // namespace

// The run is on disk press by press, and a run a session did not finish comes back.
class TestRunJournal : public QObject {
    Q_OBJECT
private slots:
    void everyCommandAndPressIsJournalled() {
        AppFixture app;
        app.control<QLineEdit>("Edit2")->setText("B, \"x\"");
        app.click("start");
        app.advance(61040);
        app.click("LAP");
        app.advance(500);
        app.click("LAP2");
        app.click("stop");
        const auto contents = kelvos::readJournal(app.journalFile());
        QList<Kind> kinds;
        for (const JournalEntry& entry : contents.entries)
            kinds << entry.kind;
        QCOMPARE(kinds, QList<Kind>({Kind::Start, Kind::Lap, Kind::Lap, Kind::Stop, Kind::Saved}));
        QCOMPARE(contents.entries[2].competitor, 2);
        QCOMPARE(contents.entries[2].total, 61540);
        QCOMPARE(contents.entries[2].name, QString("B, \"x\""));
        QCOMPARE(contents.entries[3].total, 61540);
        // The run is finished only with its file on disk, which the last line names.
        const QString file = contents.entries[4].file;
        QCOMPARE(file, app.workingDirectory.filePath(kelvos::automaticMixFileName(app.wallClock)));
        QVERIFY(QFile::exists(file));
    }

    // A session that ended without closing (killed, crashed, display lost) leaves its run in
    // the journal; the next start shows the same rows as if it had been stopped there, writes
    // them to the automatic Mix file and says so.
    void unfinishedRunComesBackAtTheNextStart() {
        QByteArray journal;
        QStringList rowsBeforeTheEnd;
        {
            AppFixture first;
            first.click("start");
            for (const char* lap : {"LAP", "LAP2", "LAP", "LAP3"}) {
                first.advance(60000);
                first.click(lap);
            }
            first.click("stop");
            first.click("CuteButton1"); // restart: the run goes on
            first.advance(5000);
            first.click("LAP");
            rowsBeforeTheEnd = mixRows(first);
            journal = testfiles::contents(first.journalFile());
        } // the window goes without closing, as in a crash

        AppFixture next(AppFixture::Files{.journal = journal});
        QCOMPARE(mixRows(next), rowsBeforeTheEnd);
        QVERIFY(!next.window->isRunning());
        QVERIFY(next.enabled("CuteButton1")); // stopped: it can be restarted
        const QByteArray file = testfiles::contents(
            next.workingDirectory.filePath(kelvos::automaticMixFileName(next.wallClock)));
        QCOMPARE(QString::fromUtf8(file).split("\r\n", Qt::SkipEmptyParts), rowsBeforeTheEnd);
        const auto* message = next.window->findChild<QMessageBox*>("problemMessage");
        QVERIFY(message);
        QVERIFY2(message->text().contains("5 laps in all"), qPrintable(message->text()));
        QCOMPARE(kelvos::unfinishedRun(kelvos::readJournal(next.journalFile()).entries),
                 std::nullopt); // and now it is finished
    }

    // The restore shows what the run showed when it was stopped at its last press: the same
    // rows, chart points and figures.
    void restoredRunShowsWhatTheRunShowed() {
        QByteArray journal;
        QStringList shown;
        {
            AppFixture first;
            journal = journalOfARun(first);
            first.click("stop"); // at the last press's total: the clock has not moved since
            shown = shownRun(first);
        }
        AppFixture next(AppFixture::Files{.journal = journal});
        QCOMPARE(shownRun(next), shown);
    }

    // A long run comes back after the window is shown, under a progress dialog that follows
    // the restore.
    void longRestoreShowsTheWindowFirst() {
        QByteArray journal = kelvos::journalHeaderLine() + kelvos::encodeJournalLine({});
        constexpr int laps = 3000;
        for (int lap = 1; lap <= laps; ++lap)
            journal += kelvos::encodeJournalLine(
                {Kind::Lap, 1, lap * 1000, "1", {}, false, false, "12:00:00", {}});
        AppFixture app(AppFixture::Files{.journal = journal, .awaitShown = false});
        QVERIFY(app.window->isVisible());
        QVERIFY(app.window->isRestoring());
        QCOMPARE(app.window->lapState().Lap1.LapCount, 0);
        const QPointer progress = app.window->findChild<QProgressDialog*>("restoreProgress");
        QVERIFY(progress && progress->isVisible());
        QCOMPARE(progress->maximum(), laps + 1);
        QVERIFY(QTest::qWaitFor([&] { return !app.window->isRestoring(); }, 60000));
        QCOMPARE(app.window->lapState().Lap1.LapCount, laps);
        QVERIFY(!progress || !progress->isVisible());
    }

    // What can be read of a damaged journal comes back, and the operator is told which lines
    // could not be read.
    void damagedJournalIsRestoredAsFarAsItCan_data() {
        QTest::addColumn<QByteArray>("lineEnd");
        QTest::newRow("LF") << QByteArray("\n");
        QTest::newRow("CR LF") << QByteArray("\r\n");
    }
    void damagedJournalIsRestoredAsFarAsItCan() {
        QFETCH(QByteArray, lineEnd);
        QByteArray journal;
        {
            AppFixture first;
            first.click("start");
            for (int lap = 0; lap < 3; ++lap) {
                first.advance(60000);
                first.click("LAP");
            }
            journal = testfiles::contents(first.journalFile());
        }
        journal[journal.indexOf("start") + 2] = '?';
        journal.replace("\n", lineEnd);
        AppFixture next(AppFixture::Files{.journal = journal});
        QCOMPARE(next.window->lapState().Lap1.LapCount, 3);
        QVERIFY2(problemText(next).contains("3 laps of competitor 1"),
                 qPrintable(problemText(next)));
        QVERIFY2(
            problemText(next).contains("1 line(s) could not be read and are left out (line 2)"),
            qPrintable(problemText(next)));
    }

    // A restore that cannot write its file says so, and the run stays unfinished until a
    // start can write it.
    void restoreOnAFullDiskSaysSoAndKeepsTheRun() {
        QByteArray journal;
        {
            AppFixture first;
            journal = journalOfARun(first);
        }
        const auto fillDisk = [&journal](const QString& folder) {
            if (!mounted(folder, "tmpfs", "size=64k", 0))
                return;
            testfiles::writeContents(folder + "/kelvos-run.journal", journal);
            QFile filler(folder + "/filler");
            if (filler.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
                while (filler.write(QByteArray(4096, 'x')) > 0) {
                }
        };
        AppFixture next(AppFixture::Files{.journal = journal, .prepare = fillDisk});
        const QByteArray folder = QFile::encodeName(next.workingDirectory.path());
        const auto unmount = qScopeGuard([&] { ::umount2(folder.constData(), MNT_DETACH); });
        if (!QFile::exists(next.workingDirectory.filePath("filler")))
            QSKIP("mounting a tmpfs needs root");
        QVERIFY2(problemText(next).contains("could not be saved"), qPrintable(problemText(next)));
        QVERIFY(!problemText(next).contains("and saved to"));
        const auto contents = kelvos::readJournal(next.journalFile());
        QVERIFY(kelvos::unfinishedRun(contents.entries, contents.version));
    }

    // A journal that cannot take the line saying its run is on disk: the run is restored and
    // saved once, and the next start says where it went instead of saving it again.
    void runIsRestoredOnceWhenTheJournalCannotBeWritten() {
        QByteArray journal;
        {
            AppFixture first;
            journal = journalOfARun(first);
        }
        QByteArray mark;
        bool readOnly = false;
        const auto readOnlyJournal = [&](const QString& folder) {
            if (!mark.isEmpty())
                testfiles::writeContents(folder + "/kelvos-run.journal.restored", mark);
            readOnly = mountReadOnly(folder + "/kelvos-run.journal");
        };
        QString savedTo;
        {
            AppFixture once(AppFixture::Files{.journal = journal, .prepare = readOnlyJournal});
            const QByteArray path = QFile::encodeName(once.journalFile());
            const auto unmount = qScopeGuard([&] { ::umount2(path.constData(), MNT_DETACH); });
            if (!readOnly)
                QSKIP("a read-only bind mount needs root");
            QCOMPARE(testfiles::contents(once.journalFile()), journal);
            savedTo = once.workingDirectory.filePath(kelvos::automaticMixFileName(once.wallClock));
            QVERIFY2(problemText(once).contains("and saved to " + savedTo),
                     qPrintable(problemText(once)));
            mark = testfiles::contents(once.journalFile() + ".restored");
            QVERIFY(!mark.isEmpty());
        }
        AppFixture again(AppFixture::Files{.journal = journal, .prepare = readOnlyJournal});
        const QByteArray path = QFile::encodeName(again.journalFile());
        const auto unmount = qScopeGuard([&] { ::umount2(path.constData(), MNT_DETACH); });
        QCOMPARE(again.window->lapState().MixRows, 0); // not restored again
        QVERIFY(!QFile::exists(
            again.workingDirectory.filePath(kelvos::automaticMixFileName(again.wallClock))));
        QVERIFY2(problemText(again).contains("not restored again"), qPrintable(problemText(again)));
        QVERIFY2(problemText(again).contains(savedTo), qPrintable(problemText(again)));
    }

    // A hotkey press is timed by its key event, however late it is handled.
    void hotkeyPressIsTimedByItsKeyEvent() {
        AppFixture app;
        QVERIFY(app.hotkeys.press(0x26, 5000)); // Up, stamped 5000 by the X server
        app.clock.advance(3000);                // handled 3 s after the lap key was pressed
        QVERIFY(app.hotkeys.press(0x61, 6200)); // keypad 1, pressed 1.2 s after the start
        QCOMPARE(app.window->lapState().Lap1.LapTime, 1200);
    }
};

QTEST_MAIN(TestRunJournal)
#include "tst_run_journal.moc"
