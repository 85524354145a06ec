#include "CellRules.h"

#include <QTest>

using namespace kelvos;

class TestCellRules : public QObject {
    Q_OBJECT
private slots:
    void colorSource_data();
    void colorSource();
    void integerInputCharacters_data();
    void integerInputCharacters();
    void integerCellText_data();
    void integerCellText();
    void displayMask_data();
    void displayMask();
};

void TestCellRules::colorSource_data() {
    QTest::addColumn<int>("style");
    QTest::addColumn<int>("row");
    QTest::addColumn<bool>("hasDefinition");
    QTest::addColumn<int>("source");
    QTest::newRow("striped even row")
        << int(gsStriped) << 2 << true << int(CellColorSource::StripeColor);
    QTest::newRow("striped odd row")
        << int(gsStriped) << 3 << true << int(CellColorSource::GridColor);
    QTest::newRow("striped column without definition")
        << int(gsStriped) << 4 << false << int(CellColorSource::StripeColor);
    QTest::newRow("normal with definition")
        << int(gsNormal) << 2 << true << int(CellColorSource::ColumnColor);
    QTest::newRow("normal without definition")
        << int(gsNormal) << 3 << false << int(CellColorSource::GridColor);
}

void TestCellRules::colorSource() {
    QFETCH(int, style);
    QFETCH(int, row);
    QFETCH(bool, hasDefinition);
    QFETCH(int, source);
    QCOMPARE(int(cellColorSource(TGridStyle(style), row, hasDefinition)), source);
}

void TestCellRules::integerInputCharacters_data() {
    QTest::addColumn<QString>("typed");
    QTest::addColumn<bool>("accepted");
    QTest::newRow("digits and signs") << "0123456789+-." << true;
    QTest::newRow("blank and control") << " \b\x1f" << true;
    QTest::newRow("letter") << "a" << false;
    QTest::newRow("comma") << "," << false;
    QTest::newRow("fullwidth digit") << QString::fromUtf8("１") << false;
}

void TestCellRules::integerInputCharacters() {
    QFETCH(QString, typed);
    QFETCH(bool, accepted);
    for (QChar c : typed)
        QCOMPARE(isIntegerInputChar(c), accepted);
}

void TestCellRules::integerCellText_data() {
    QTest::addColumn<QString>("edited");
    QTest::addColumn<bool>("valid");
    QTest::addColumn<QString>("stored");
    QTest::newRow("minus alone") << "-" << true << "-0";
    QTest::newRow("empty") << "" << true << "";
    QTest::newRow("leading zeros") << "007" << true << "7";
    QTest::newRow("plus sign") << "+5" << true << "5";
    QTest::newRow("negative") << "-12" << true << "-12";
    QTest::newRow("leading blank") << " 12" << true << "12";
    QTest::newRow("lowest") << "-2147483648" << true << "-2147483648";
    QTest::newRow("decimal") << "1.5" << false << "";
    QTest::newRow("trailing blank") << "12 " << false << "";
    QTest::newRow("plus alone") << "+" << false << "";
    QTest::newRow("overflow") << "2147483648" << false << "";
    QTest::newRow("two signs") << "--1" << false << "";
}

void TestCellRules::integerCellText() {
    QFETCH(QString, edited);
    QFETCH(bool, valid);
    QFETCH(QString, stored);
    const std::optional<QString> result = kelvos::integerCellText(edited);
    QCOMPARE(result.has_value(), valid);
    if (valid)
        QCOMPARE(*result, stored);
}

void TestCellRules::displayMask_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("mask");
    QTest::addColumn<QString>("shown");
    QTest::newRow("three decimals") << "12.5"
                                    << "#.000"
                                    << "12.500";
    QTest::newRow("below one without zero placeholder") << "0.25"
                                                        << "#.00"
                                                        << ".25";
    QTest::newRow("leading zeros") << "7"
                                   << "000"
                                   << "007";
    QTest::newRow("more digits than placeholders") << "12345"
                                                   << "#0"
                                                   << "12345";
    QTest::newRow("thousands") << "1234567"
                               << "#,##0"
                               << "1,234,567";
    QTest::newRow("literal text") << "42"
                                  << "0 \"km\""
                                  << "42 km";
    QTest::newRow("negative sign") << "-3.14159"
                                   << "0.00"
                                   << "-3.14";
    QTest::newRow("negative section") << "-5"
                                      << "0;(0)"
                                      << "(5)";
    QTest::newRow("optional decimals trimmed") << "2.5"
                                               << "0.##"
                                               << "2.5";
    QTest::newRow("edit mask") << "ABCD"
                               << "!>LL-LL;0;_"
                               << "AB-CD";
    QTest::newRow("edit mask short text") << "ab"
                                          << "LL-LL;0;_"
                                          << "ab-__";
    QTest::newRow("edit mask with saved literals") << "12:34"
                                                   << "99:99"
                                                   << "12:34";
}

void TestCellRules::displayMask() {
    QFETCH(QString, text);
    QFETCH(QString, mask);
    QFETCH(QString, shown);
    QCOMPARE(formatDisplayMask(text, mask), shown);
}

QTEST_APPLESS_MAIN(TestCellRules)
#include "tst_cellrules.moc"
