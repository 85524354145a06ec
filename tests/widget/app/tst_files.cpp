#include "AppFixture.h"
#include "CommaText.h"
#include "TStrSortGrid.h"
#include "TStringGridEx.h"
#include "TestFiles.h"

#include <QAction>
#include <QClipboard>
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QRegularExpression>

namespace {

const char* const kChartButtons[] = {"CuteButton22", "CuteButton24", "CuteButton25",
                                     "CuteButton29"};

TStringGridEx* mainGrid(const AppFixture& app) {
    return app.control<TStringGridEx>("StringGridEx1");
}

TStrSortGrid* mixGrid(const AppFixture& app) {
    return app.control<TStrSortGrid>("StrSortGrid1");
}

QLineEdit* edit(const AppFixture& app, const char* name) {
    return app.control<QLineEdit>(name);
}

void trigger(const AppFixture& app, const char* item) {
    app.control<QMenu>("PopupMenu2")->findChild<QAction*>(item)->trigger();
}

QMessageBox* problem(const AppFixture& app) {
    return app.window->findChild<QMessageBox*>("problemMessage");
}

// The lines of rows 1 … rows as a file of the grid holds them.
QByteArray gridLines(const kelvos::TextGrid* grid, int rows) {
    QByteArray lines;
    for (int row = 1; row <= rows; ++row)
        lines += grid->rowCommaText(row).toUtf8() + "\r\n";
    return lines;
}

// The dialogs answer with this file, remembering what they were asked.
struct Dialogs {
    QString answer;
    QString filter;
    bool save = false;
    void install(AppFixture& app) {
        app.chooseFile = [this](const QString&, const QString& asked, bool forSaving) {
            filter = asked;
            save = forSaving;
            return answer;
        };
    }
};

// Laps in press order 1, 2, 3, 1, 2, 1 (six Mix rows, competitor 1 with three laps).
void recordRun(AppFixture& app) {
    app.click("start");
    for (const char* button : {"LAP", "LAP2", "LAP3", "LAP", "LAP2", "LAP"}) {
        app.advance(61000);
        app.click(button);
    }
}

// Stops the run. The stop offers "copylap1".."copylap3" (run control enables them); they are
// enabled here as well so that these tests rest only on the copies themselves.
void stopRun(AppFixture& app) {
    app.click("stop");
    for (const char* button : {"CuteButton35", "CuteButton36", "CuteButton37"})
        app.control(button)->setEnabled(true);
}

QStringList clipboardFields() {
    return kelvos::readCommaText(QGuiApplication::clipboard()->text());
}

} // namespace

class TestFiles : public QObject {
    Q_OBJECT
private slots:
    void stopWritesTheAutomaticMixFile();
    void stopsInTheSameMinuteKeepEveryRunsFile();
    void saveCsvWritesTheRecordedLaps();
    void menuSavesUseTheChosenName_data();
    void menuSavesUseTheChosenName();
    void cancelledDialogsChangeNothing();
    void failedAutomaticSaveKeepsTheRun();
    void failedMenuSaveIsReported();
    void mainLoadOf25LinesThenEmptySave();
    void mainLoadFailureKeepsTheReset();
    void loadAnsweredDuringARunIsRefused_data();
    void loadAnsweredDuringARunIsRefused();
    void menuSaveDuringARunSavesTheGridAtTheAnswer();
    void mixLoadTakesTheNames();
    void mixLoadOfAnEmptyFileKeepsTheNames();
    void cellsWithCommasSurviveMixSaveAndLoad();
    void hostileNamesComeBackFromTheMixFile();
    void hostileFilesLeaveUsableGrids_data();
    void hostileFilesLeaveUsableGrids();
    void copyAndPasteTheWholeMixGrid();
    void copyLapOfOneCompetitor();
    void copyLapWithoutMatchesEmptiesOnlyColumns();
    void pasteOfForeignText();
    void pasteWithoutTextOnlyReturnsFocus();
};

void TestFiles::stopWritesTheAutomaticMixFile() {
    AppFixture app;
    recordRun(app);
    app.heard();
    app.click("stop");
    QCOMPARE(app.heard(), QStringList({"po.wav", "pipi.wav"}));
    const QDir dir(app.workingDirectory.path());
    QCOMPARE(dir.entryList({"*.csv"}, QDir::Files), QStringList{"2612081234M.csv"});
    const QByteArray content = testfiles::contents(dir.filePath("2612081234M.csv"));
    QCOMPARE(content, gridLines(mixGrid(app), 6));
    const QList<QByteArray> lines = content.split('\n');
    QVERIFY(lines[0].startsWith("1,1,"));
    QVERIFY(lines[1].startsWith("1,2,"));
    QVERIFY(lines[5].startsWith("3,1,"));
}

void TestFiles::stopsInTheSameMinuteKeepEveryRunsFile() {
    AppFixture app;
    recordRun(app);
    app.click("stop");
    app.click("CuteButton1"); // restart
    app.advance(1000);
    app.click("LAP3");
    app.click("stop");
    const QDir dir(app.workingDirectory.path());
    QCOMPARE(dir.entryList({"*.csv"}, QDir::Files), QStringList{"2612081234M.csv"});
    const QByteArray firstRun = testfiles::contents(dir.filePath("2612081234M.csv"));
    QCOMPARE(firstRun, gridLines(mixGrid(app), 7));

    // A new run in the same minute keeps the first run's file and takes a free name; its own
    // restart rewrites that one.
    app.click("start");
    app.advance(1000);
    app.click("LAP");
    app.click("stop");
    app.click("CuteButton1");
    app.advance(1000);
    app.click("LAP2");
    app.click("stop");
    QCOMPARE(dir.entryList({"*.csv"}, QDir::Files),
             QStringList({"2612081234M-2.csv", "2612081234M.csv"}));
    QCOMPARE(testfiles::contents(dir.filePath("2612081234M.csv")), firstRun);
    QCOMPARE(testfiles::contents(dir.filePath("2612081234M-2.csv")), gridLines(mixGrid(app), 2));
}

void TestFiles::saveCsvWritesTheRecordedLaps() {
    AppFixture app;
    recordRun(app);
    app.click("stop");
    app.heard();
    app.click("CuteButton19");
    QCOMPARE(app.heard(), QStringList{"po.wav"});
    const QByteArray content = testfiles::contents(app.workingDirectory.filePath("2612081234.csv"));
    QCOMPARE(content.count("\r\n"), 3); // three laps, no header
    QCOMPARE(content, gridLines(mainGrid(app), 3));
    QVERIFY(app.control("start")->hasFocus());
}

void TestFiles::menuSavesUseTheChosenName_data() {
    QTest::addColumn<QString>("item");
    QTest::addColumn<QString>("chosen");
    QTest::addColumn<QString>("written");
    QTest::addColumn<bool>("mix");
    QTest::newRow("MixSave adds csv") << "MixSave1"
                                      << "run"
                                      << "run.csv" << true;
    QTest::newRow("MainSave keeps txt") << "MainSave1"
                                        << "laps.txt"
                                        << "laps.txt" << false;
}

void TestFiles::menuSavesUseTheChosenName() {
    QFETCH(QString, item);
    QFETCH(QString, chosen);
    QFETCH(QString, written);
    QFETCH(bool, mix);
    AppFixture app;
    Dialogs dialogs;
    dialogs.install(app);
    recordRun(app);
    app.click("stop");
    app.heard();
    dialogs.answer = app.workingDirectory.filePath(chosen);
    trigger(app, qPrintable(item));
    QVERIFY(dialogs.save);
    QCOMPARE(dialogs.filter, QString("*.csv (*.csv);;*.txt (*.txt)"));
    const kelvos::TextGrid* grid = mix ? static_cast<kelvos::TextGrid*>(mixGrid(app))
                                       : static_cast<kelvos::TextGrid*>(mainGrid(app));
    QCOMPARE(testfiles::contents(app.workingDirectory.filePath(written)),
             gridLines(grid, mix ? 6 : 3));
    QCOMPARE(app.heard(), QStringList{}); // only the automatic saves give a signal
}

void TestFiles::cancelledDialogsChangeNothing() {
    AppFixture app;
    recordRun(app);
    app.click("stop");
    const QByteArray mainBefore = gridLines(mainGrid(app), 11);
    for (const char* button : {"CuteButton20", "CuteButton39"})
        app.click(button);
    for (const char* item : {"MixSave1", "MainSave1"})
        trigger(app, item);
    QCOMPARE(gridLines(mainGrid(app), 11), mainBefore);
    QCOMPARE(app.window->lapState().MixRows, 6);
    QCOMPARE(QDir(app.workingDirectory.path()).entryList({"*.csv"}, QDir::Files).size(), 1);
    QVERIFY(app.control("start")->hasFocus());
}

void TestFiles::failedAutomaticSaveKeepsTheRun() {
    AppFixture app;
    recordRun(app);
    QVERIFY(QDir(app.workingDirectory.path()).removeRecursively()); // the folder is gone
    app.click("stop");
    QVERIFY(!app.window->isRunning());
    QVERIFY(problem(app) && problem(app)->isVisible());
    QVERIFY(problem(app)->text().contains("2612081234M.csv"));
    QCOMPARE(mixGrid(app)->rowCount(), 7);
    QCOMPARE(mainGrid(app)->cells(0, 3), QString("3"));
}

void TestFiles::failedMenuSaveIsReported() {
    AppFixture app;
    Dialogs dialogs;
    dialogs.install(app);
    recordRun(app);
    app.click("stop");
    const QString blocker = app.workingDirectory.filePath("file");
    testfiles::writeContents(blocker, "not a folder");
    dialogs.answer = blocker + "/out.csv";
    trigger(app, "MainSave1");
    QVERIFY(problem(app) && problem(app)->text().contains("out.csv"));
    QCOMPARE(testfiles::contents(blocker), QByteArray("not a folder"));
}

void TestFiles::mainLoadOf25LinesThenEmptySave() {
    AppFixture app;
    Dialogs dialogs;
    dialogs.install(app);
    recordRun(app);
    app.click("stop");
    QByteArray content;
    for (int line = 1; line <= 25; ++line)
        content += QByteArray::number(line) + ",x,00:00:01:000,,,,1000,,1000,\r\n";
    dialogs.answer = app.workingDirectory.filePath("in.csv");
    testfiles::writeContents(dialogs.answer, content);
    app.click("CuteButton20");
    QVERIFY(!dialogs.save);
    QCOMPARE(dialogs.filter, QString("csv(*csv) (*.csv);;txt(*txt) (*.txt);;all(*.*) (*)"));
    QCOMPARE(mainGrid(app)->rowCount(), 26);
    QCOMPARE(app.text("Label26"), QString("25"));
    QCOMPARE(mainGrid(app)->cells(0, 25), QString("25"));
    QCOMPARE(app.window->lapState().Lap1.LapCount, 0);
    QCOMPARE(app.window->lapState().MixRows, 0); // the full reset came first
    for (const char* button : kChartButtons)
        QVERIFY2(app.enabled(button), button);
    QVERIFY(!app.window->isHotkeyRegistered(kelvos::Hotkey::Start));

    app.click("CuteButton19");
    QCOMPARE(testfiles::contents(app.workingDirectory.filePath("2612081234.csv")), QByteArray());
}

void TestFiles::mainLoadFailureKeepsTheReset() {
    AppFixture app;
    Dialogs dialogs;
    dialogs.install(app);
    recordRun(app);
    app.click("stop");
    dialogs.answer = app.workingDirectory.filePath("absent.csv");
    app.click("CuteButton20");
    QVERIFY(problem(app) && problem(app)->text().contains("absent.csv"));
    QCOMPARE(mainGrid(app)->rowCount(), 12);
    QCOMPARE(app.text("Label26"), QString("0"));
    QVERIFY(!app.enabled("CuteButton22"));
    QVERIFY(app.window->isHotkeyRegistered(kelvos::Hotkey::Start));
}

// A load chosen while the watch stood and answered after a run began by its hotkey and took laps
// from the hotkeys and another program: the run now forbids loading, so the answer is refused
// with a message and the run goes on untouched. The figures ran on while the dialog was open.
void TestFiles::loadAnsweredDuringARunIsRefused_data() {
    QTest::addColumn<QByteArray>("loadButton");
    QTest::newRow("Main") << QByteArray("CuteButton20");
    QTest::newRow("Mix") << QByteArray("CuteButton39");
}

void TestFiles::loadAnsweredDuringARunIsRefused() {
    QFETCH(QByteArray, loadButton);
    AppFixture app;
    const QString file = app.workingDirectory.filePath("in.csv");
    testfiles::writeContents(file, "1,x,00:01:00:000,00:01:00:000,,,60000,,60000,\r\n");
    app.holdDialogs = true;
    app.click(loadButton.constData());
    QVERIFY(!app.heldDialog.isEmpty());
    QVERIFY(app.hotkeys.press(app.hotkeys.shortcutOf(int(kelvos::Hotkey::Start))));
    app.advance(61000);
    QCOMPARE(app.text("Label1"), QString("00:01:01:000"));
    QVERIFY(app.hotkeys.press(app.hotkeys.shortcutOf(int(kelvos::Hotkey::Lap1))));
    app.advance(1000);
    QVERIFY(app.window->takeCommand(kelvos::DesktopCommand::Lap2, app.clock.now()));
    app.advance(2000);
    QCOMPARE(app.text("Label3"), QString("00:00:03:000"));

    app.answerDialog(file);
    QVERIFY(problem(app) && problem(app)->text().contains("was not loaded"));
    QVERIFY(app.window->isRunning());
    QVERIFY(app.window->takeCommand(kelvos::DesktopCommand::Lap1, app.clock.now()));
    app.click("stop");
    const QByteArray mix = testfiles::contents(app.workingDirectory.filePath("2612081234M.csv"));
    QCOMPARE(mix, gridLines(mixGrid(app), 3));
    QCOMPARE(mix.count('\n'), 3);
    QCOMPARE(kelvos::readCommaText(mainGrid(app)->rowCommaText(2)).value(2),
             QString("00:01:04:000"));
}

// A save chosen during a run and answered laps later writes the grid as it is at the answer.
void TestFiles::menuSaveDuringARunSavesTheGridAtTheAnswer() {
    AppFixture app;
    app.click("start");
    app.advance(1000);
    app.click("LAP");
    app.holdDialogs = true;
    trigger(app, "MixSave1");
    QCOMPARE(app.heldDialog, QString("MixSave"));
    app.advance(1000);
    app.click("LAP2");
    app.advance(1000);
    app.click("LAP");
    const QString file = app.workingDirectory.filePath("during.csv");
    app.answerDialog(file);
    QCOMPARE(testfiles::contents(file), gridLines(mixGrid(app), 3));
    QVERIFY(app.window->isRunning());
}

void TestFiles::mixLoadTakesTheNames() {
    AppFixture app;
    Dialogs dialogs;
    dialogs.install(app);
    dialogs.answer = app.workingDirectory.filePath("mix.csv");
    testfiles::writeContents(dialogs.answer, "1,A,x\r\n1,B,x\r\n2,A,x\r\n1,D,x\r\n");
    app.click("CuteButton39");
    QCOMPARE(mixGrid(app)->rowCount(), 5);
    QCOMPARE(mixGrid(app)->rowCommaText(0),
             QString("Lap,Number,Total,Laptime,Lap+-milli,Realtime,Lap-milli,Lap-Km/h,"
                     "Average-milli,Ave-Km/h"));
    QCOMPARE(edit(app, "Edit1")->text(), QString("A"));
    QCOMPARE(edit(app, "Edit2")->text(), QString("B"));
    QCOMPARE(edit(app, "Edit3")->text(), QString("D"));
    for (const char* button : {"CuteButton35", "CuteButton36", "CuteButton37"})
        QVERIFY2(app.enabled(button), button);

    app.click("start");
    app.advance(1000);
    app.click("LAP3");
    QCOMPARE(mixGrid(app)->cells(1, 1), QString("D")); // the boxes name new laps
}

void TestFiles::mixLoadOfAnEmptyFileKeepsTheNames() {
    AppFixture app;
    Dialogs dialogs;
    dialogs.install(app);
    edit(app, "Edit1")->setText("Ann");
    dialogs.answer = app.workingDirectory.filePath("empty.csv");
    testfiles::writeContents(dialogs.answer, "");
    app.click("CuteButton39");
    QCOMPARE(mixGrid(app)->rowCount(), 2);
    QCOMPARE(mixGrid(app)->rowCommaText(1), QString(",,,,,,,,,"));
    QCOMPARE(edit(app, "Edit1")->text(), QString("Ann"));
}

void TestFiles::cellsWithCommasSurviveMixSaveAndLoad() {
    AppFixture app;
    Dialogs dialogs;
    dialogs.install(app);
    edit(app, "Edit2")->setText("Team, B");
    edit(app, "Edit3")->setText("C D");
    recordRun(app);
    app.click("stop");
    const QByteArray saved = gridLines(mixGrid(app), 6);
    dialogs.answer = app.workingDirectory.filePath("2612081234M.csv");
    app.click("CuteButton39");
    QCOMPARE(gridLines(mixGrid(app), 6), saved);
    QCOMPARE(mixGrid(app)->cells(1, 2), QString("Team, B"));
    // Press order 1, 2, 3, 1, 2, 1: the last name other than the first is competitor 2's.
    QCOMPARE(edit(app, "Edit3")->text(), QString("Team, B"));
    QCOMPARE(edit(app, "Edit2")->text(), QString("C D"));
}

// Names a spreadsheet would run as formulas reach the Mix file as text and come back from it
// as they were typed; a name pasted with a line break is one line in the box and in the file.
void TestFiles::hostileNamesComeBackFromTheMixFile() {
    AppFixture app;
    Dialogs dialogs;
    dialogs.install(app);
    QGuiApplication::clipboard()->setText("Team\r\nRed");
    QLineEdit* const name1 = edit(app, "Edit1");
    QTest::mouseClick(name1, Qt::LeftButton);
    QTest::keyClick(name1, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(name1, Qt::Key_V, Qt::ControlModifier);
    QCOMPARE(name1->text(), QString("Team Red"));
    edit(app, "Edit2")->setText("=cmd|' /C calc'!A0");
    edit(app, "Edit3")->setText("'@x");
    recordRun(app);
    app.click("stop");

    const QStringList files = QDir(app.workingDirectory.path()).entryList({"*M.csv"});
    QCOMPARE(files.size(), 1);
    const QByteArray file = testfiles::contents(app.workingDirectory.filePath(files.first()));
    QCOMPARE(file.count("\r\n"), 6);
    for (const QByteArray& line : file.split('\n').mid(0, 6)) {
        for (const QString& field : kelvos::readCommaText(QString::fromUtf8(line))) {
            const bool figure = QRegularExpression("^[+-][0-9][0-9.:]*$").match(field).hasMatch();
            QVERIFY2(figure || !QString("=+-@").contains(field.left(1)), line.constData());
        }
    }

    const QByteArray saved = gridLines(mixGrid(app), 6);
    app.click("CuteButton38"); // "undo": the names are 1, 2, 3 until the load brings them back
    dialogs.answer = app.workingDirectory.filePath(files.first());
    app.click("CuteButton39");
    QCOMPARE(gridLines(mixGrid(app), 6), saved);
    QCOMPARE(name1->text(), QString("Team Red"));
    QCOMPARE(edit(app, "Edit2")->text(), QString("'@x")); // the last name other than the first
    QCOMPARE(edit(app, "Edit3")->text(), QString("=cmd|' /C calc'!A0"));
}

void TestFiles::hostileFilesLeaveUsableGrids_data() {
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<int>("rows");
    QTest::newRow("200 000 lines") << QByteArray("1,a\r\n").repeated(200000) << 200000;
    QTest::newRow("one 16 MB cell") << QByteArray(16 << 20, 'x') << 1;
    QByteArray binary;
    for (int byte = 0; byte < 256; ++byte)
        binary += char(byte == 26 ? 0 : byte);
    QTest::newRow("binary and nul bytes") << binary.repeated(16) << 17;
}

void TestFiles::hostileFilesLeaveUsableGrids() {
    QFETCH(QByteArray, content);
    QFETCH(int, rows);
    AppFixture app;
    Dialogs dialogs;
    dialogs.install(app);
    dialogs.answer = app.workingDirectory.filePath("hostile.csv");
    testfiles::writeContents(dialogs.answer, content);
    app.click("CuteButton20");
    app.click("CuteButton39");
    QCOMPARE(mainGrid(app)->rowCount(), rows + 1);
    QCOMPARE(mixGrid(app)->rowCount(), rows + 1);
    app.window->grab(); // both grids paint their rows
    app.click("start");
    app.advance(1000);
    app.click("LAP");
    QCOMPARE(mainGrid(app)->cells(0, 1), QString("1"));
}

void TestFiles::copyAndPasteTheWholeMixGrid() {
    AppFixture app;
    recordRun(app); // still running: the Mix grid shows its 30 rows
    QCOMPARE(mixGrid(app)->rowCount(), 30);
    QVERIFY(!app.enabled("CuteButton4"));
    app.click("CuteButton3");
    QVERIFY(app.enabled("CuteButton4"));
    QCOMPARE(QGuiApplication::clipboard()->text().count(u',') + 1, 290);
    app.click("CuteButton4");
    QCOMPARE(mainGrid(app)->rowCount(), 30);
    QCOMPARE(app.text("Label26"), QString("29"));
    for (int row = 1; row <= 6; ++row)
        QCOMPARE(mainGrid(app)->rows(row), mixGrid(app)->rows(row));
    for (const char* button : kChartButtons)
        QVERIFY2(app.enabled(button), button);
}

void TestFiles::copyLapOfOneCompetitor() {
    AppFixture app;
    recordRun(app);
    app.click("LAP2");
    app.click("LAP2"); // competitor 2 now has four laps
    stopRun(app);
    app.click("CuteButton36");
    const QString text = QGuiApplication::clipboard()->text();
    QCOMPARE(text.count(u',') + 1, 40);
    QCOMPARE(clipboardFields().at(1), QString("2"));
    app.click("CuteButton4");
    QCOMPARE(mainGrid(app)->rowCount(), 5);
    QCOMPARE(app.text("Label26"), QString("4"));
    QCOMPARE(mainGrid(app)->cells(0, 4), QString("4"));
    QCOMPARE(mainGrid(app)->cells(1, 4), QString("2"));
}

void TestFiles::copyLapWithoutMatchesEmptiesOnlyColumns() {
    AppFixture app;
    recordRun(app);
    stopRun(app);
    edit(app, "Edit3")->setText("nobody");
    app.click("CuteButton37");
    QCOMPARE(QGuiApplication::clipboard()->text(), QString());
    app.click("CuteButton4");
    QCOMPARE(mainGrid(app)->rowCount(), 4);
    QCOMPARE(app.text("Label26"), QString("3"));
    QCOMPARE(mainGrid(app)->rowCommaText(2), QString("2,,,,,,,,,"));
    QVERIFY(!app.enabled("CuteButton25")); // "Push" is offered only by a paste or a load
}

void TestFiles::pasteOfForeignText() {
    AppFixture app;
    recordRun(app);
    stopRun(app);
    app.click("CuteButton35"); // three laps of competitor 1: the row count becomes 4
    QGuiApplication::clipboard()->setText("1,\"A, B\",x,,,,,,,,2,\"C D\"");
    app.click("CuteButton4");
    QCOMPARE(mainGrid(app)->rowCount(), 4);
    QCOMPARE(mainGrid(app)->rows(1).mid(0, 3), (QStringList{"1", "A, B", "x"}));
    QCOMPARE(mainGrid(app)->rows(2).mid(0, 3), (QStringList{"2", "C D", ""}));
    QCOMPARE(mainGrid(app)->rows(3).mid(0, 2), (QStringList{"3", ""})); // column 0 kept
}

void TestFiles::pasteWithoutTextOnlyReturnsFocus() {
    AppFixture app;
    recordRun(app);
    app.click("stop");
    app.click("CuteButton3");
    QGuiApplication::clipboard()->clear();
    const QByteArray before = gridLines(mainGrid(app), 11);
    app.click("CuteButton4");
    QCOMPARE(gridLines(mainGrid(app), 11), before);
    QVERIFY(app.control("start")->hasFocus());
}

QTEST_MAIN(TestFiles)
#include "tst_files.moc"
