#include "RunStates.h"

#include <QTest>

using namespace kelvos;

namespace {
using Commands = QList<Command>;
using Keys = QList<int>;

Commands commandsSwitched(const RunStateEffects& effects, Switch change) {
    Commands found;
    for (std::size_t c = 0; c < kCommandCount; ++c)
        if (effects.commands[c] == change)
            found << Command(c);
    return found;
}

Keys hotkeysSwitched(const RunStateEffects& effects, Switch change) {
    Keys found;
    for (int key = 1; key <= kHotkeyCount; ++key)
        if (effects.hotkey(Hotkey(key)) == change)
            found << key;
    return found;
}
} // namespace

Q_DECLARE_METATYPE(RunEntry)
Q_DECLARE_METATYPE(RunState)

// What each way into a state switches on and off; everything else is left as it was.
class TestRunStates : public QObject {
    Q_OBJECT
private slots:
    void effectsOfEachEntry_data() {
        using C = Command;
        QTest::addColumn<RunEntry>("entry");
        QTest::addColumn<bool>("stopKeyOff");
        QTest::addColumn<RunState>("state");
        QTest::addColumn<Commands>("on");
        QTest::addColumn<Commands>("off");
        QTest::addColumn<Keys>("live");
        QTest::addColumn<Keys>("dead");
        const Commands running = {C::Stop,    C::Lap1,     C::Lap2,    C::Lap3,
                                  C::LapRead, C::ClipRead, C::RealRead};
        const Commands stopped = {C::Start, C::Restart, C::Reset, C::CsvLoads, C::CopyLaps};
        QTest::newRow("shown") << RunEntry::Shown << false << RunState::Idle
                               << Commands{C::Start, C::Reset, C::CsvLoads}
                               << Commands{C::Stop,      C::Restart,     C::Lap1,
                                           C::Lap2,      C::Lap3,        C::LapRead,
                                           C::ClipRead,  C::RealRead,    C::CopyLaps,
                                           C::Paste,     C::ChartUpdate, C::ChartAnimate,
                                           C::ChartPush, C::ChartClear}
                               << Keys{1} << Keys{2, 3, 4, 5, 6, 7};
        QTest::newRow("start") << RunEntry::Start << false << RunState::Running << running
                               << Commands{C::Start,    C::Restart, C::Reset,         C::CsvLoads,
                                           C::CopyLaps, C::Paste,   C::ChartZoomReset}
                               << Keys{2, 5, 6, 7} << Keys{1, 3, 4};
        QTest::newRow("start, stopkeyoff")
            << RunEntry::Start << true << RunState::Running << running
            << Commands{C::Start,    C::Restart, C::Reset,         C::CsvLoads,
                        C::CopyLaps, C::Paste,   C::ChartZoomReset}
            << Keys{5, 6, 7} << Keys{1, 2, 3, 4};
        QTest::newRow("restart") << RunEntry::Restart << false << RunState::Running << running
                                 << Commands{C::Start,       C::Restart,       C::Reset,
                                             C::CsvLoads,    C::CopyLaps,      C::Paste,
                                             C::ChartUpdate, C::ChartAnimate,  C::ChartPush,
                                             C::ChartClear,  C::ChartZoomReset}
                                 << Keys{2, 5, 6, 7} << Keys{1, 3, 4};
        QTest::newRow("stop") << RunEntry::Stop << false << RunState::Stopped
                              << (stopped +
                                  Commands{C::ChartUpdate, C::ChartAnimate, C::ChartClear})
                              << running << Keys{1, 3, 4} << Keys{2, 5, 6, 7};
        QTest::newRow("reset keeps the reset key")
            << RunEntry::Reset << false << RunState::Cleared << Commands{C::Start}
            << Commands{C::Restart,   C::ChartUpdate, C::ChartAnimate,
                        C::ChartPush, C::ChartClear,  C::ChartZoomReset}
            << Keys{1} << Keys{2, 3, 5, 6, 7};
    }
    void effectsOfEachEntry() {
        QFETCH(RunEntry, entry);
        QFETCH(bool, stopKeyOff);
        const RunStateEffects effects = runStateEffects(entry, stopKeyOff);
        QTEST(effects.state, "state");
        auto sorted = [](Commands commands) {
            std::sort(commands.begin(), commands.end());
            return commands;
        };
        QFETCH(Commands, on);
        QFETCH(Commands, off);
        QCOMPARE(commandsSwitched(effects, Switch::On), sorted(on));
        QCOMPARE(commandsSwitched(effects, Switch::Off), sorted(off));
        QTEST(hotkeysSwitched(effects, Switch::On), "live");
        QTEST(hotkeysSwitched(effects, Switch::Off), "dead");
    }
};

QTEST_APPLESS_MAIN(TestRunStates)
#include "tst_runstates.moc"
