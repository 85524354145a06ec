#include "Speed.h"

#include <QTest>

using kelvos::SpeedUnit;

class SpeedTest : public QObject {
    Q_OBJECT

private slots:
    void courseLength_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<qint32>("metres");
        QTest::newRow("plain") << "400" << 400;
        QTest::newRow("plus sign") << "+400" << 400;
        QTest::newRow("unit suffix") << "400m" << 0;
        QTest::newRow("letters") << "abc" << 0;
        QTest::newRow("empty") << "" << 0;
        QTest::newRow("sign only") << "-" << 0;
        QTest::newRow("blank around") << " 400" << 0;
        QTest::newRow("hexadecimal") << "0x190" << 0;
        QTest::newRow("fraction") << "400.5" << 0;
        QTest::newRow("largest") << "2147483647" << 2147483647;
        QTest::newRow("past 32 bits") << "2147483648" << 0;
        QTest::newRow("full-width digits") << QString::fromUtf8("４００") << 0;
    }
    void courseLength() {
        QFETCH(QString, text);
        QFETCH(qint32, metres);
        QCOMPARE(kelvos::courseLengthFromText(text), metres);
    }

    void speed_data() {
        QTest::addColumn<qint32>("metres");
        QTest::addColumn<qint32>("lapMs");
        QTest::addColumn<SpeedUnit>("unit");
        QTest::addColumn<qint64>("thousandths");
        const auto kmh = SpeedUnit::KilometresPerHour;
        const auto mph = SpeedUnit::MilesPerHour;
        QTest::newRow("400 m in 61.040 s") << 400 << 61040 << kmh << qint64(23591);
        QTest::newRow("400 m in 60 s, km/h") << 400 << 60000 << kmh << qint64(24000);
        QTest::newRow("400 m in 60 s, mph") << 400 << 60000 << mph << qint64(14912);
        QTest::newRow("48 km/h") << 400 << 30000 << kmh << qint64(48000);
        // 333 m in 24.975 s is exactly 48 km/h: no floating error may make it 47.999.
        QTest::newRow("exact 48 km/h on 333 m") << 333 << 24975 << kmh << qint64(48000);
        QTest::newRow("0.5 km/h") << 10 << 72000 << kmh << qint64(500);
        QTest::newRow("truncated, not rounded") << 1 << 7201 << kmh << qint64(499);
        QTest::newRow("0 ms lap") << 400 << 0 << kmh << qint64(0);
        QTest::newRow("0 m course") << 0 << 60000 << kmh << qint64(0);
        QTest::newRow("longest course, 1 ms") << 2147483647 << 1 << mph << qint64(4803796046329551);
    }
    void speed() {
        QFETCH(qint32, metres);
        QFETCH(qint32, lapMs);
        QFETCH(SpeedUnit, unit);
        QFETCH(qint64, thousandths);
        QCOMPARE(kelvos::speedThousandths(metres, lapMs, unit), thousandths);
    }

    void text_data() {
        QTest::addColumn<qint64>("thousandths");
        QTest::addColumn<QString>("separator");
        QTest::addColumn<QString>("text");
        QTest::newRow("no leading zero") << qint64(500) << "."
                                         << ".500";
        QTest::newRow("zero") << qint64(0) << "."
                              << ".000";
        QTest::newRow("whole") << qint64(48000) << "."
                               << "48.000";
        QTest::newRow("padded decimals") << qint64(23005) << "."
                                         << "23.005";
        QTest::newRow("locale comma") << qint64(23591) << ","
                                      << "23,591";
        QTest::newRow("negative") << qint64(-500) << "."
                                  << "-.500";
    }
    void text() {
        QFETCH(qint64, thousandths);
        QFETCH(QString, separator);
        QFETCH(QString, text);
        QCOMPARE(kelvos::speedText(thousandths, separator), text);
    }
};

QTEST_APPLESS_MAIN(SpeedTest)
#include "tst_speed.moc"
