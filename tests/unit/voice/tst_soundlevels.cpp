#include "SoundLevels.h"

#include <QTest>

using kelvos::SoundLevels;

class TestSoundLevels : public QObject {
    Q_OBJECT
private slots:
    // Each lane is scaled by its own level before the two are added, and the sum is held to
    // the 16-bit range instead of wrapping round into a crack.
    void eachLaneSoundsAtItsLevel_data() {
        QTest::addColumn<int>("voiceLevel");
        QTest::addColumn<int>("toneLevel");
        QTest::addColumn<qint16>("voice");
        QTest::addColumn<qint16>("tone");
        QTest::addColumn<qint16>("mixed");
        QTest::newRow("both full") << 100 << 100 << qint16(1000) << qint16(-300) << qint16(700);
        QTest::newRow("voice half") << 50 << 100 << qint16(1000) << qint16(300) << qint16(800);
        QTest::newRow("tones half") << 100 << 50 << qint16(1000) << qint16(-3000) << qint16(-500);
        QTest::newRow("voice off") << 0 << 100 << qint16(32767) << qint16(300) << qint16(300);
        QTest::newRow("tones off") << 100 << 0 << qint16(-1000) << qint16(-32768) << qint16(-1000);
        QTest::newRow("both off") << 0 << 0 << qint16(12345) << qint16(-12345) << qint16(0);
        QTest::newRow("full scale up")
            << 100 << 100 << qint16(32767) << qint16(32767) << qint16(32767);
        QTest::newRow("full scale down")
            << 100 << 100 << qint16(-32768) << qint16(-32768) << qint16(-32768);
        QTest::newRow("halves fit") << 50 << 50 << qint16(32767) << qint16(32767) << qint16(32766);
    }
    void eachLaneSoundsAtItsLevel() {
        QFETCH(int, voiceLevel);
        QFETCH(int, toneLevel);
        QFETCH(qint16, voice);
        QFETCH(qint16, tone);
        QFETCH(qint16, mixed);
        const qint16 voices[] = {voice, voice};
        const qint16 tones[] = {tone, tone};
        qint16 out[] = {1, 1};
        kelvos::mixInto(out, voices, tones, SoundLevels{voiceLevel, toneLevel});
        QCOMPARE(out[0], mixed);
        QCOMPARE(out[1], mixed);
    }

    // What the settings file holds: a damaged value never silences a lane.
    void levelFromTheSettingsFile_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("level");
        QTest::newRow("stored") << "40" << 40;
        QTest::newRow("silent") << "0" << 0;
        QTest::newRow("spaces") << " 75 " << 75;
        QTest::newRow("above") << "250" << 100;
        QTest::newRow("below") << "-5" << 0;
        QTest::newRow("empty") << "" << 100;
        QTest::newRow("not a number") << "loud" << 100;
        QTest::newRow("fraction") << "50.5" << 100;
        QTest::newRow("overflow") << "99999999999" << 100;
    }
    void levelFromTheSettingsFile() {
        QFETCH(QString, text);
        QFETCH(int, level);
        QCOMPARE(kelvos::soundLevelFromText(text), level);
    }
};

QTEST_GUILESS_MAIN(TestSoundLevels)
#include "tst_soundlevels.moc"
