#include "CellStore.h"
#include "CommaText.h"
#include "GridTexts.h"

#include <QTest>

using namespace kelvos;

class TestCommaText : public QObject {
    Q_OBJECT
private slots:
    void readsFields_data();
    void readsFields();
    void writesFields_data();
    void writesFields();
    void roundTripRestoresCells_data();
    void roundTripRestoresCells();
    void rowReadingEmptiesRowAndDropsSurplusFields();
    void rowTextHasOneFieldPerColumn();
    void mixIntroLinesGiveTheListedCells();
    void headerLinesGiveTenCells();
};

void TestCommaText::readsFields_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<QStringList>("fields");
    QTest::newRow("empty field keeps position") << "1,,x" << QStringList{"1", "", "x"};
    QTest::newRow("unquoted blank ends a field") << "1,A B,x" << QStringList{"1", "A", "B", "x"};
    QTest::newRow("trailing empty field produces nothing") << "a,b," << QStringList{"a", "b"};
    QTest::newRow("two trailing commas give one empty field") << "a,," << QStringList{"a", ""};
    QTest::newRow("leading empty field counts") << ",a" << QStringList{"", "a"};
    QTest::newRow("lone comma") << "," << QStringList{""};
    QTest::newRow("empty text") << "" << QStringList{};
    QTest::newRow("blanks only") << " \t\r\n" << QStringList{};
    QTest::newRow("quoted empty") << "\"\"" << QStringList{""};
    QTest::newRow("quoted with comma and blank") << "\"a, b\",c" << QStringList{"a, b", "c"};
    QTest::newRow("doubled quote") << "\"say \"\"hi\"\"\"" << QStringList{"say \"hi\""};
    QTest::newRow("blanks around fields skipped") << "  a ,\t b  , c" << QStringList{"a", "b", "c"};
    QTest::newRow("control characters end and skip") << "a\x01"
                                                        "b,c"
                                                     << QStringList{"a", "b", "c"};
    QTest::newRow("text after closing quote is a new field")
        << "\"ab\"cd,e" << QStringList{"ab", "cd", "e"};
    QTest::newRow("missing closing quote runs to the end") << "x,\"abc" << QStringList{"x", "abc"};
    QTest::newRow("nul between fields is a blank")
        << QString::fromUtf16(u"a\0b", 3) << QStringList{"a", "b"};
    QTest::newRow("japanese text")
        << QString::fromUtf8("鈴鹿,\"東 コース\"") << QStringList{"鈴鹿", "東 コース"};
}

void TestCommaText::readsFields() {
    QFETCH(QString, text);
    QFETCH(QStringList, fields);
    QCOMPARE(readCommaText(text), fields);
}

void TestCommaText::writesFields_data() {
    QTest::addColumn<QStringList>("fields");
    QTest::addColumn<QString>("text");
    QTest::newRow("plain") << QStringList{"1", "Suzuka"} << "1,Suzuka";
    QTest::newRow("blank is quoted") << QStringList{"A B"} << "\"A B\"";
    QTest::newRow("comma is quoted") << QStringList{"a,b", "c"} << "\"a,b\",c";
    QTest::newRow("quote doubled") << QStringList{"x\"y"} << "\"x\"\"y\"";
    QTest::newRow("control char quoted") << QStringList{"a\tb"} << "\"a\tb\"";
    QTest::newRow("single empty string") << QStringList{""} << "\"\"";
    QTest::newRow("empty trailing cells give commas") << QStringList{"a", "", ""} << "a,,";
    QTest::newRow("no fields") << QStringList{} << "";
    QTest::newRow("japanese unquoted")
        << QStringList{QString::fromUtf8("東京")} << QString::fromUtf8("東京");
}

void TestCommaText::writesFields() {
    QFETCH(QStringList, fields);
    QFETCH(QString, text);
    QCOMPARE(writeCommaText(fields), text);
}

void TestCommaText::roundTripRestoresCells_data() {
    QTest::addColumn<QStringList>("cells");
    QTest::newRow("blanks and commas") << QStringList{" lead", "trail ", "a,b", "", "x"};
    QTest::newRow("quotes") << QStringList{"\"", "\"\"", "a\"b\"", "\"quoted\""};
    QTest::newRow("control characters")
        << QStringList{"line\nbreak", "tab\there", QString::fromUtf16(u"nul\0in", 6)};
    QTest::newRow("japanese") << QStringList{QString::fromUtf8("鈴鹿 サーキット"),
                                             QString::fromUtf8("「東」,コース")};
    QTest::newRow("empty inside") << QStringList{"a", "", "", "b"};
    QTest::newRow("ampersands") << QStringList{"& select-meter ", "&&"};
}

void TestCommaText::roundTripRestoresCells() {
    QFETCH(QStringList, cells);
    QCOMPARE(readCommaText(writeCommaText(cells)), cells);
}

void TestCommaText::rowReadingEmptiesRowAndDropsSurplusFields() {
    CellStore store(2, 3);
    store.setRow(1, {"old0", "old1", "old2"});
    store.setRowCommaText(1, u"a,b,c,d,e");
    QCOMPARE(store.row(1), (QStringList{"a", "b", "c"}));
    store.setRowCommaText(1, u"z");
    QCOMPARE(store.row(1), (QStringList{"z", "", ""}));
    // Fields unescaped from doubled quotes are copied, the others read where they stand.
    store.setRowCommaText(1, u"\"say \"\"hi\"\"\",\"a b\",\"x\"\"\"");
    QCOMPARE(store.row(1), (QStringList{"say \"hi\"", "a b", "x\""}));
}

void TestCommaText::rowTextHasOneFieldPerColumn() {
    CellStore store(2, 4);
    store.setCell(1, 1, "A B");
    QCOMPARE(store.rowCommaText(1), QStringLiteral(",\"A B\",,"));
    CellStore copy(2, 4);
    copy.setRowCommaText(1, store.rowCommaText(1));
    QCOMPARE(copy.row(1), store.row(1));
}

void TestCommaText::mixIntroLinesGiveTheListedCells() {
    const QStringList lines = mixGridIntroLines();
    QCOMPARE(lines.size(), 23);
    CellStore store(24, 10);
    for (int r = 1; r <= 23; ++r)
        store.setRowCommaText(r, lines[r - 1]);
    QCOMPARE(store.row(1).mid(0, 4), (QStringList{" < --- ", "Pulldown", "select-meter", ""}));
    QCOMPARE(store.row(2).mid(0, 5),
             (QStringList{"or Add to", " write", " & Enterkey", "Press", ""}));
    QCOMPARE(store.row(3).mid(0, 5), (QStringList{"& select-meter ", "and   Reset", " -----Ready ",
                                                  "Enter or Hot", "Key  GO!"}));
    QCOMPARE(store.row(4).mid(0, 5), (QStringList{" ", "5864m", "Suzuka", "Full", ""}));
    QCOMPARE(store.row(13).mid(0, 5), (QStringList{" ", "3703m", "TI", "Aida", ""}));
    QCOMPARE(store.row(23).mid(0, 4), (QStringList{" ", "1700m", "Tokachi", "West"}));
}

void TestCommaText::headerLinesGiveTenCells() {
    for (const QString& line :
         {mainGridHeaderLine(HeaderUnit::Kilometre), mainGridHeaderLine(HeaderUnit::Mile),
          mainGridStartupMileHeaderLine(), mixGridHeaderLine(HeaderUnit::Kilometre),
          mixGridHeaderLine(HeaderUnit::Mile), mixGridLoadedFileHeaderLine()})
        QCOMPARE(readCommaText(line).size(), 10);
    QCOMPARE(readCommaText(mainGridHeaderLine(HeaderUnit::Mile)).at(7), QStringLiteral("LAP_M/h"));
    QCOMPARE(readCommaText(mainGridStartupMileHeaderLine()).at(3), QStringLiteral("LAPtime"));
}

QTEST_APPLESS_MAIN(TestCommaText)
#include "tst_commatext.moc"
