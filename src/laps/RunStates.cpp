#include "RunStates.h"

#include <initializer_list>

namespace kelvos {

namespace {

using C = Command;
using H = Hotkey;

struct Switches {
    std::initializer_list<Command> on;
    std::initializer_list<Command> off;
    std::initializer_list<Hotkey> liveKeys;
    std::initializer_list<Hotkey> deadKeys;
};

RunStateEffects effectsOf(RunState state, const Switches& switches) {
    RunStateEffects effects;
    effects.state = state;
    for (Command c : switches.on)
        effects.commands[std::size_t(c)] = Switch::On;
    for (Command c : switches.off)
        effects.commands[std::size_t(c)] = Switch::Off;
    for (Hotkey h : switches.liveKeys)
        effects.hotkeys[std::size_t(h) - 1] = Switch::On;
    for (Hotkey h : switches.deadKeys)
        effects.hotkeys[std::size_t(h) - 1] = Switch::Off;
    return effects;
}

RunStateEffects runningEffects(bool restart, bool stopKeyOff) {
    RunStateEffects effects = effectsOf(
        RunState::Running,
        {{C::Lap1, C::Lap2, C::Lap3, C::LapRead, C::ClipRead, C::RealRead, C::Stop},
         {C::CsvLoads, C::CopyLaps, C::Paste, C::Start, C::Restart, C::Reset, C::ChartZoomReset},
         {H::Stop, H::Lap1, H::Lap2, H::Lap3},
         {H::Start, H::Restart, H::Reset}});
    // A restart continues a run whose chart is being drawn live: no rebuild may start meanwhile.
    if (restart) {
        for (Command c : {C::ChartUpdate, C::ChartAnimate, C::ChartPush, C::ChartClear})
            effects.commands[std::size_t(c)] = Switch::Off;
    }
    if (stopKeyOff)
        effects.hotkeys[std::size_t(H::Stop) - 1] = Switch::Off;
    return effects;
}

} // namespace

RunStateEffects runStateEffects(RunEntry entry, bool stopKeyOff) {
    switch (entry) {
    case RunEntry::Shown:
        // Only the start key is live until the first run begins; the zoom reset follows the
        // chart alone.
        return effectsOf(
            RunState::Idle,
            {{C::Start, C::Reset, C::CsvLoads},
             {C::Stop, C::Restart, C::Lap1, C::Lap2, C::Lap3, C::LapRead, C::ClipRead, C::RealRead,
              C::CopyLaps, C::Paste, C::ChartUpdate, C::ChartAnimate, C::ChartPush, C::ChartClear},
             {H::Start},
             {H::Stop, H::Restart, H::Reset, H::Lap1, H::Lap2, H::Lap3}});
    case RunEntry::Start:
        return runningEffects(false, stopKeyOff);
    case RunEntry::Restart:
        return runningEffects(true, stopKeyOff);
    case RunEntry::Stop:
        return effectsOf(
            RunState::Stopped,
            {{C::ChartAnimate, C::ChartClear, C::ChartUpdate, C::CsvLoads, C::CopyLaps, C::Reset,
              C::Restart, C::Start},
             {C::Lap1, C::Lap2, C::Lap3, C::LapRead, C::ClipRead, C::RealRead, C::Stop},
             {H::Start, H::Restart, H::Reset},
             {H::Stop, H::Lap1, H::Lap2, H::Lap3}});
    case RunEntry::Reset:
        // The reset key stays as it was: after a stop it is live, so a second reset can zero
        // the watch from the keyboard too.
        return effectsOf(RunState::Cleared, {{C::Start},
                                             {C::ChartUpdate, C::ChartAnimate, C::ChartPush,
                                              C::ChartClear, C::Restart, C::ChartZoomReset},
                                             {H::Start},
                                             {H::Stop, H::Restart, H::Lap1, H::Lap2, H::Lap3}});
    }
    return {};
}

} // namespace kelvos
