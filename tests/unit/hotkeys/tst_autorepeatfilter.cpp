#include "AutoRepeatFilter.h"

#include <QTest>

using namespace kelvos;

using Masks = std::vector<quint16>;
Q_DECLARE_METATYPE(Masks)

class TestAutoRepeatFilter : public QObject {
    Q_OBJECT

private slots:
    void onePhysicalPressGivesOneCommand_data();
    void onePhysicalPressGivesOneCommand();
    void lockCombinations_data();
    void lockCombinations();
};

// Events as "P87@100" (press of keycode 87 at server time 100) and "R87@150" (release).
void TestAutoRepeatFilter::onePhysicalPressGivesOneCommand_data() {
    QTest::addColumn<bool>("detectable");
    QTest::addColumn<QStringList>("events");
    QTest::addColumn<int>("commands");
    for (const bool detectable : {false, true}) {
        const auto row = [detectable](const char* name) -> QTestData* {
            return &(QTest::addRow("%s%s", name, detectable ? ", detectable" : "") << detectable);
        };
        *row("tap") << QStringList{"P87@1", "R87@90"} << 1;
        *row("held, repeated presses without releases")
            << QStringList{"P87@1", "P87@660", "P87@700", "P87@740", "R87@900"} << 1;
        *row("two taps") << QStringList{"P87@1", "R87@90", "P87@200", "R87@290"} << 2;
        *row("two keys at the same time") << QStringList{"P87@1", "P88@1", "R87@5", "R88@5"} << 2;
        *row("press at the time another key is released")
            << QStringList{"P87@1", "R87@5", "P88@5", "R88@9"} << 2;
        *row("first event is a release") << QStringList{"R87@5", "P87@9"} << 1;
        *row("press at server time 0") << QStringList{"P87@0", "R87@3"} << 1;
    }
    // Without detectable auto-repeat the server repeats a held key as release/press pairs of
    // one time, and a new press in the millisecond of the release cannot be told from them.
    QTest::newRow("held, release/press pairs")
        << false << QStringList{"P87@1", "R87@660", "P87@660", "R87@700", "P87@700", "R87@900"}
        << 1;
    QTest::newRow("presses back to back, in the millisecond of the release")
        << true << QStringList{"P87@1", "R87@1", "P87@1", "R87@1", "P87@2", "R87@2", "P87@2"} << 4;
}

void TestAutoRepeatFilter::onePhysicalPressGivesOneCommand() {
    QFETCH(bool, detectable);
    QFETCH(QStringList, events);
    QFETCH(int, commands);
    AutoRepeatFilter filter;
    filter.setDetectableAutoRepeat(detectable);
    int accepted = 0;
    for (const QString& event : events) {
        const QStringList parts = event.mid(1).split(u'@');
        const auto keycode = quint8(parts[0].toUInt());
        const quint32 time = parts[1].toUInt();
        if (event.startsWith(u'P'))
            accepted += filter.acceptPress(keycode, time) ? 1 : 0;
        else
            filter.noteRelease(keycode, time);
    }
    QCOMPARE(accepted, commands);
}

void TestAutoRepeatFilter::lockCombinations_data() {
    QTest::addColumn<int>("numLock");
    QTest::addColumn<int>("scrollLock");
    QTest::addColumn<Masks>("masks");
    QTest::newRow("NumLock Mod2, ScrollLock Mod5")
        << 0x10 << 0x80 << Masks{0x00, 0x02, 0x10, 0x12, 0x80, 0x82, 0x90, 0x92};
    QTest::newRow("NumLock Mod3, no ScrollLock") << 0x20 << 0 << Masks{0x00, 0x02, 0x20, 0x22};
    QTest::newRow("no NumLock, no ScrollLock") << 0 << 0 << Masks{0x00, 0x02};
    QTest::newRow("both locks on one modifier") << 0x10 << 0x10 << Masks{0x00, 0x02, 0x10, 0x12};
}

void TestAutoRepeatFilter::lockCombinations() {
    QFETCH(int, numLock);
    QFETCH(int, scrollLock);
    QFETCH(Masks, masks);
    Masks combinations = lockModifierCombinations(quint16(numLock), quint16(scrollLock));
    std::sort(combinations.begin(), combinations.end());
    QCOMPARE(combinations, masks);
}

QTEST_APPLESS_MAIN(TestAutoRepeatFilter)
#include "tst_autorepeatfilter.moc"
