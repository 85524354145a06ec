#include "TNValLabel.h"

#include <QTest>

class TestNValLabel : public QObject {
    Q_OBJECT
private slots:
    void caption_data() {
        QTest::addColumn<double>("value");
        QTest::addColumn<bool>("comma");
        QTest::addColumn<int>("decimals");
        QTest::addColumn<QChar>("leading");
        QTest::addColumn<bool>("zeroDisplay");
        QTest::addColumn<QString>("expected");
        QTest::newRow("defaults") << 1234.5 << true << -1 << QChar(' ') << false << "1,234.5";
        QTest::newRow("no comma") << 1234.5 << false << -1 << QChar(' ') << false << "1234.5";
        QTest::newRow("two decimals") << 1234.5 << true << 2 << QChar(' ') << false << "1,234.50";
        QTest::newRow("leading plus") << 1234.5 << true << -1 << QChar('+') << false << "+1,234.5";
        QTest::newRow("no comma, fixed")
            << 1234567.0 << false << 1 << QChar(' ') << false << "1234567.0";
        QTest::newRow("fourteen decimals")
            << 0.00000000000001 << true << -1 << QChar(' ') << false << "0.00000000000001";
        QTest::newRow("zero") << 0.0 << true << -1 << QChar('+') << false << "";
        QTest::newRow("zero shown") << 0.0 << true << 2 << QChar('+') << true << "0";
        QTest::newRow("control char ignored") << 5.0 << true << -1 << QChar('\t') << false << "5";
    }
    void caption() {
        QFETCH(double, value);
        QFETCH(bool, comma);
        QFETCH(int, decimals);
        QFETCH(QChar, leading);
        QFETCH(bool, zeroDisplay);
        QFETCH(QString, expected);
        TNValLabel label;
        label.setValue(value);
        label.setPutAComma(comma);
        label.setFixDecimal(decimals);
        label.setLeadingChar(leading);
        label.setZeroDisplay(zeroDisplay);
        QCOMPARE(label.caption(), expected);
    }

    void fixDecimalIsClamped_data() {
        QTest::addColumn<int>("asked");
        QTest::addColumn<int>("kept");
        QTest::newRow("20") << 20 << 14;
        QTest::newRow("-5") << -5 << -1;
    }
    void fixDecimalIsClamped() {
        QFETCH(int, asked);
        QFETCH(int, kept);
        TNValLabel label;
        label.setFixDecimal(asked);
        QCOMPARE(label.fixDecimal(), kept);
    }
};

QTEST_MAIN(TestNValLabel)
#include "tst_nvallabel.moc"
