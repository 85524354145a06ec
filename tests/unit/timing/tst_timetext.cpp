#include "TimeText.h"

#include <QTest>
#include <limits>

class TestTimeText : public QObject {
    Q_OBJECT
private slots:
    void fullForm_data() {
        QTest::addColumn<qint32>("ms");
        QTest::addColumn<QString>("text");
        QTest::newRow("zero") << 0 << "00:00:00:000";
        QTest::newRow("one minute 23") << 83045 << "00:01:23:045";
        QTest::newRow("one hour two minutes") << 3723004 << "01:02:03:004";
        QTest::newRow("truncated not rounded") << 1999 << "00:00:01:999";
        QTest::newRow("past a day") << 25 * 3600000 << "25:00:00:000";
        QTest::newRow("100 hours") << 360000000 << "100:00:00:000";
        QTest::newRow("int32 max") << std::numeric_limits<qint32>::max() << "596:31:23:647";
    }
    void fullForm() {
        QFETCH(qint32, ms);
        QFETCH(QString, text);
        QCOMPARE(kelvos::formatFullTime(ms), text);
    }

    void signedShort_data() {
        QTest::addColumn<qint32>("ms");
        QTest::addColumn<QString>("text");
        QTest::newRow("zero is positive") << 0 << "+0.000";
        QTest::newRow("millis only") << 123 << "+0.123";
        QTest::newRow("negative millis") << -45 << "-0.045";
        QTest::newRow("one digit seconds") << 5123 << "+5:123";
        QTest::newRow("not rounded") << 1999 << "+1:999";
        QTest::newRow("9.999") << 9999 << "+9:999";
        QTest::newRow("two digit seconds") << 10000 << "+10:000";
        QTest::newRow("negative seconds") << -12345 << "-12:345";
        QTest::newRow("one minute") << 60000 << "+1:00:000";
        QTest::newRow("ten minutes") << 754321 << "+12:34:321";
        QTest::newRow("hours dropped") << 3723004 << "+2:03:004";
        QTest::newRow("whole hour negative") << -3600000 << "-0.000";
        QTest::newRow("lap difference") << -1038 << "-1:038";
        QTest::newRow("int32 min has a magnitude")
            << std::numeric_limits<qint32>::min() << "-31:23:648";
    }
    void signedShort() {
        QFETCH(qint32, ms);
        QFETCH(QString, text);
        QCOMPARE(kelvos::formatSignedShort(ms), text);
    }
};

QTEST_APPLESS_MAIN(TestTimeText)
#include "tst_timetext.moc"
