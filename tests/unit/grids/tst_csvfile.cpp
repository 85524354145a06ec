#include "CellStore.h"
#include "CsvFile.h"
#include "TestFiles.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <csignal>
#include <sys/resource.h>

using namespace kelvos;

namespace {

// The file "in.csv" in the folder, holding the content.
QString writeFile(const QTemporaryDir& dir, const QByteArray& content) {
    const QString path = dir.filePath("in.csv");
    testfiles::writeContents(path, content);
    return path;
}

// A Main grid after a reset: header and 11 empty rows.
CellStore emptyMainGrid() {
    CellStore store(12, 10);
    store.setRowCommaText(0, u"LAP,Number,Total");
    return store;
}

// Keeps files from growing beyond a few bytes while it lives; the refused write is reported
// as an error instead of ending the process.
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes) {
        getrlimit(RLIMIT_FSIZE, &saved_);
        previousHandler_ = std::signal(SIGXFSZ, SIG_IGN);
        rlimit limit = saved_;
        limit.rlim_cur = bytes;
        setrlimit(RLIMIT_FSIZE, &limit);
    }
    ~FileSizeLimit() {
        setrlimit(RLIMIT_FSIZE, &saved_);
        std::signal(SIGXFSZ, previousHandler_);
    }

private:
    rlimit saved_{};
    void (*previousHandler_)(int) = nullptr;
};

} // namespace

class TestCsvFile : public QObject {
    Q_OBJECT
private slots:
    void automaticNames_data();
    void automaticNames();
    void linesEndAtCarriageReturns_data();
    void linesEndAtCarriageReturns();
    void decodesUtf8AndShiftJis_data();
    void decodesUtf8AndShiftJis();
    void savesLapRowsWithoutHeader();
    void rowsTheGridDoesNotShowAreWrittenWithTheirCells();
    void cellsSurviveSaveAndLoad();
    void formulasReachNoSpreadsheet_data();
    void formulasReachNoSpreadsheet();
    void loadSetsRowCountToLinesPlusOne();
    void emptyFileLoadsNoRows();
    void lineFeedOnlyFileLoadsOneRowPerLine();
    void saveReplacesTheWholeOldFile();
    void failedSaveKeepsTheOldFile();
    void saveIntoMissingFolderFails();
    void unreadableFileGivesAnError();
    void hostileFilesLoad_data();
    void hostileFilesLoad();
};

void TestCsvFile::automaticNames_data() {
    QTest::addColumn<QDateTime>("when");
    QTest::addColumn<QString>("main");
    QTest::addColumn<QString>("mix");
    QTest::newRow("afternoon") << QDateTime(QDate(2005, 12, 24), QTime(15, 30, 59))
                               << "0512241530.csv"
                               << "0512241530M.csv";
    QTest::newRow("just after midnight")
        << QDateTime(QDate(2026, 1, 2), QTime(0, 5)) << "2601020005.csv"
        << "2601020005M.csv";
}

void TestCsvFile::automaticNames() {
    QFETCH(QDateTime, when);
    QFETCH(QString, main);
    QFETCH(QString, mix);
    QCOMPARE(automaticMainFileName(when), main);
    QCOMPARE(automaticMixFileName(when), mix);
}

void TestCsvFile::linesEndAtCarriageReturns_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<QStringList>("lines");
    QTest::newRow("empty") << "" << QStringList{};
    QTest::newRow("no line end") << "a,b" << QStringList{"a,b"};
    QTest::newRow("CR LF after every line") << "a\r\nb\r\n" << QStringList{"a", "b"};
    QTest::newRow("CR alone") << "a\rb" << QStringList{"a", "b"};
    QTest::newRow("LF stays in the line where CR ends lines") << "a\nb\r\nc\n"
                                                              << QStringList{"a\nb", "c\n"};
    QTest::newRow("LF ends the line without any CR")
        << "a\nb\n\nc" << QStringList{"a", "b", "", "c"};
    QTest::newRow("empty line between") << "a\r\r\nb" << QStringList{"a", "", "b"};
    QTest::newRow("only a line end") << "\r\n" << QStringList{""};
}

void TestCsvFile::linesEndAtCarriageReturns() {
    QFETCH(QString, text);
    QFETCH(QStringList, lines);
    QStringList found;
    for (QStringView line : csvLines(text))
        found << line.toString();
    QCOMPARE(found, lines);
}

void TestCsvFile::decodesUtf8AndShiftJis_data() {
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("text");
    QTest::newRow("utf-8") << QByteArray("1,\xe9\x88\xb4\xe9\xb9\xbf")
                           << QString::fromUtf8("1,鈴鹿");
    QTest::newRow("utf-8 byte-order mark skipped") << QByteArray("\xef\xbb\xbf"
                                                                 "a,b")
                                                   << "a,b";
    QTest::newRow("shift_jis from Windows")
        << QByteArray("1,\x83\x65\x83\x58\x83\x67,\x87\x40") << QString::fromUtf8("1,テスト,①");
    QTest::newRow("ctrl+z ends the file") << QByteArray("a\r\n\x1a"
                                                        "b\r\n")
                                          << "a\r\n";
    QTest::newRow("nul bytes stay") << QByteArray("a\0b", 3) << QString::fromUtf16(u"a\0b", 3);
    QTest::newRow("neither utf-8 nor shift_jis")
        << QByteArray("x\xff\xfe,y") << QString::fromUtf16(u"x\xfffd\xfffd,y");
}

void TestCsvFile::decodesUtf8AndShiftJis() {
    QFETCH(QByteArray, bytes);
    QFETCH(QString, text);
    QCOMPARE(decodeCsvBytes(bytes), text);
}

void TestCsvFile::savesLapRowsWithoutHeader() {
    CellStore store = emptyMainGrid();
    for (int lap = 1; lap <= 3; ++lap)
        store.setRowCommaText(lap, QStringLiteral("%1,1,00:00:05:123").arg(lap));
    store.setRowCommaText(4, u"4,beyond the lap count");
    QCOMPARE(csvFileBytes(store, 3), QByteArray("1,1,00:00:05:123,,,,,,,\r\n"
                                                "2,1,00:00:05:123,,,,,,,\r\n"
                                                "3,1,00:00:05:123,,,,,,,\r\n"));
    QCOMPARE(csvFileBytes(store, 0), QByteArray());
}

void TestCsvFile::rowsTheGridDoesNotShowAreWrittenWithTheirCells() {
    CellStore store(3, 10);
    store.setRowCommaText(1, u"1,a");
    store.setRowCommaText(2, u"2,hidden");
    store.setRowCount(2);
    QCOMPARE(csvFileBytes(store, 3),
             QByteArray("1,a,,,,,,,,\r\n2,hidden,,,,,,,,\r\n,,,,,,,,,\r\n"));
}

void TestCsvFile::cellsSurviveSaveAndLoad() {
    QTemporaryDir dir;
    CellStore saved = emptyMainGrid();
    saved.setRow(1, {"1", "Suzuki, Ichiro", "00:01:02:003"});
    saved.setRow(2, {"2", "A B", "say \"hi\"", "", "鈴鹿"});
    saved.setRow(3, {"3", "tab\there", "line\nbreak"});
    const QString path = dir.filePath("round.csv");
    QCOMPARE(writeCsvFile(path, csvFileBytes(saved, 3)), QString());
    QVERIFY(!testfiles::contents(path).startsWith("\xef\xbb\xbf"));

    const CsvFileText file = readCsvFile(path);
    QCOMPARE(file.error, QString());
    CellStore loaded = emptyMainGrid();
    QCOMPARE(loadCsvRows(loaded, file.text), 3);
    for (int row = 1; row <= 3; ++row)
        QCOMPARE(loaded.row(row), saved.row(row));
}

// A text that would be a formula is saved with an apostrophe before it, which spreadsheets
// show as text, and comes back as it was; figures are saved exactly as they stand.
void TestCsvFile::formulasReachNoSpreadsheet_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<QByteArray>("field"); // as the file holds it
    QTest::newRow("command") << "=cmd|' /C calc'!A0" << QByteArray("\"'=cmd|' /C calc'!A0\"");
    QTest::newRow("plus") << "+SUM(A1:A9)" << QByteArray("'+SUM(A1:A9)");
    QTest::newRow("minus") << "-2+3+cmd|x" << QByteArray("'-2+3+cmd|x");
    QTest::newRow("at") << "@SUM(1)" << QByteArray("'@SUM(1)");
    QTest::newRow("quoted") << "=a,b" << QByteArray("\"'=a,b\"");
    QTest::newRow("sign alone") << "-" << QByteArray("'-");
    QTest::newRow("apostrophe and formula") << "'=1+1" << QByteArray("''=1+1");
    QTest::newRow("apostrophes and formula") << "''@x" << QByteArray("'''@x");
    QTest::newRow("apostrophe alone") << "'" << QByteArray("'");
    QTest::newRow("apostrophe and name") << "'Aida" << QByteArray("'Aida");
    QTest::newRow("name") << "Suzuka" << QByteArray("Suzuka");
    QTest::newRow("lap difference") << "+1:01:040" << QByteArray("+1:01:040");
    QTest::newRow("short difference") << "-0.500" << QByteArray("-0.500");
    QTest::newRow("negative count") << "-5" << QByteArray("-5");
}

void TestCsvFile::formulasReachNoSpreadsheet() {
    QFETCH(QString, text);
    QFETCH(QByteArray, field);
    CellStore saved = emptyMainGrid();
    // The text as a name and as a lap difference, beside figures that must not change.
    saved.setRow(1, {"2", text, "00:02:01:040", "00:01:01:040", text, "12:34:56", "61040"});
    const QByteArray bytes = csvFileBytes(saved, 1);
    QCOMPARE(bytes,
             "2," + field + ",00:02:01:040,00:01:01:040," + field + ",12:34:56,61040,,,\r\n");

    CellStore loaded = emptyMainGrid();
    QCOMPARE(loadCsvRows(loaded, decodeCsvBytes(bytes)), 1);
    QCOMPARE(loaded.row(1), saved.row(1));
}

void TestCsvFile::loadSetsRowCountToLinesPlusOne() {
    QByteArray content;
    for (int line = 1; line <= 25; ++line)
        content += QByteArray::number(line) + ",x\r\n";
    CellStore store = emptyMainGrid();
    QCOMPARE(loadCsvRows(store, decodeCsvBytes(content)), 25);
    QCOMPARE(store.rowCount(), 26);
    QCOMPARE(store.cell(0, 25), QString("25"));
    QCOMPARE(store.cell(0, 0), QString("LAP")); // the header stays

    CellStore few = emptyMainGrid();
    QCOMPARE(loadCsvRows(few, u"1\r\n2\r\n"), 2);
    QCOMPARE(few.rowCount(), 3);
}

void TestCsvFile::emptyFileLoadsNoRows() {
    CellStore store = emptyMainGrid();
    QCOMPARE(loadCsvRows(store, decodeCsvBytes("\x1a more")), 0);
    QCOMPARE(loadCsvRows(store, u""), 0);
    QCOMPARE(store.rowCount(), 12);
}

void TestCsvFile::lineFeedOnlyFileLoadsOneRowPerLine() {
    CellStore store = emptyMainGrid();
    QCOMPARE(loadCsvRows(store, decodeCsvBytes("1,a\n2,b\n3,c\n")), 3);
    QCOMPARE(store.row(3), (QStringList{"3", "c", "", "", "", "", "", "", "", ""}));
}

void TestCsvFile::saveReplacesTheWholeOldFile() {
    QTemporaryDir dir;
    const QString path = writeFile(dir, QByteArray(1000, 'o'));
    QCOMPARE(writeCsvFile(path, "new\r\n"), QString());
    QCOMPARE(testfiles::contents(path), QByteArray("new\r\n"));
}

void TestCsvFile::failedSaveKeepsTheOldFile() {
    QTemporaryDir dir;
    const QString path = writeFile(dir, "old\r\n");
    QString error;
    {
        const FileSizeLimit limit(64);
        error = writeCsvFile(path, QByteArray(1 << 20, 'n'));
    }
    QVERIFY(!error.isEmpty());
    QCOMPARE(testfiles::contents(path), QByteArray("old\r\n"));
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList{"in.csv"}); // no leftovers
}

void TestCsvFile::saveIntoMissingFolderFails() {
    QTemporaryDir dir;
    const QString error = writeCsvFile(dir.filePath("missing/out.csv"), "1\r\n");
    QVERIFY(!error.isEmpty());
}

void TestCsvFile::unreadableFileGivesAnError() {
    QTemporaryDir dir;
    QVERIFY(!readCsvFile(dir.filePath("absent.csv")).error.isEmpty());
    QVERIFY(!readCsvFile(dir.path()).error.isEmpty()); // a folder
}

void TestCsvFile::hostileFilesLoad_data() {
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<int>("rows");
    // Every byte value but Ctrl+Z, 64 times over: each run holds one CR, not followed by LF.
    QByteArray everyByte;
    for (int round = 0; round < 64; ++round) {
        for (int byte = 0; byte < 256; ++byte) {
            if (byte != 26)
                everyByte += char(byte);
        }
    }
    QTest::newRow("binary bytes") << everyByte << 65;
    QTest::newRow("nul bytes") << QByteArray(4096, '\0') << 1;
    QByteArray longLine(50 << 20, 'x');
    for (qsizetype i = 1000; i < longLine.size(); i += 1000)
        longLine[i] = ',';
    QTest::newRow("50 MB single line") << longLine << 1;
    QTest::newRow("one 50 MB cell") << QByteArray(50 << 20, 'y') << 1;
    QTest::newRow("200 000 lines") << QByteArray("1,2,3\r\n").repeated(200000) << 200000;
    QTest::newRow("invalid everywhere") << QByteArray("\xff\xfe\x80\r\n").repeated(1000) << 1000;
}

void TestCsvFile::hostileFilesLoad() {
    QFETCH(QByteArray, content);
    QFETCH(int, rows);
    CellStore store = emptyMainGrid();
    QCOMPARE(loadCsvRows(store, decodeCsvBytes(content)), rows);
    QCOMPARE(store.rowCount(), rows + 1);
    QVERIFY(store.row(1).size() == 10);    // every row holds the grid's ten cells
    store.setRowCommaText(1, u"1,usable"); // the grid takes new rows afterwards
    QCOMPARE(store.cell(1, 1), QString("usable"));
}

QTEST_GUILESS_MAIN(TestCsvFile)
#include "tst_csvfile.moc"
