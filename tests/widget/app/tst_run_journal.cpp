#include "AppFixture.h"
#include "CsvFile.h"
#include "JournalReader.h"
#include "TStrSortGrid.h"
#include "TestFiles.h"

#include <QLineEdit>
#include <QMessageBox>

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
        QCOMPARE(kinds, QList<Kind>({Kind::Start, Kind::Lap, Kind::Lap, Kind::Stop}));
        QCOMPARE(contents.entries[2].competitor, 2);
        QCOMPARE(contents.entries[2].total, 61540);
        QCOMPARE(contents.entries[2].name, QString("B, \"x\""));
        QCOMPARE(contents.entries[3].total, 61540);
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
