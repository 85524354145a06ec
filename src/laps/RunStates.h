#pragma once

#include <array>
#include <cstddef>

namespace kelvos {

// The states of a run, as the operator sees them.
enum class RunState {
    Idle,    // the window was just shown: nothing timed yet
    Running, // the watch runs: laps are taken
    Stopped, // a run was stopped: its results are shown and it can be restarted
    Cleared, // a reset emptied the results
};

// How a state is entered; start and restart both lead to Running but differ in what the chart
// may do meanwhile.
enum class RunEntry { Shown, Start, Restart, Stop, Reset };

// The commands whose availability follows the run.
enum class Command {
    Start,
    Stop,
    Restart,
    Reset,
    Lap1,
    Lap2,
    Lap3,
    LapRead,
    ClipRead,
    RealRead,
    CsvLoads, // loading either grid from a file
    CopyLaps, // copying one competitor's laps to the clipboard
    Paste,
    ChartUpdate,
    ChartAnimate,
    ChartPush,
    ChartClear,
    ChartZoomReset,
};
inline constexpr std::size_t kCommandCount = std::size_t(Command::ChartZoomReset) + 1;

// The seven system-wide hotkeys, numbered as their editors are.
enum class Hotkey { Start = 1, Stop, Restart, Reset, Lap1, Lap2, Lap3 };
inline constexpr int kHotkeyCount = 7;

// What entering a state does to a command or a hotkey: switch it on, off, or leave it.
enum class Switch { Keep, On, Off };

struct RunStateEffects {
    RunState state = RunState::Idle;
    std::array<Switch, kCommandCount> commands{};
    std::array<Switch, kHotkeyCount> hotkeys{}; // hotkey i at [i - 1]

    Switch command(Command c) const { return commands[std::size_t(c)]; }
    Switch hotkey(Hotkey h) const { return hotkeys[std::size_t(h) - 1]; }
};

// Which commands become available and which hotkeys live when a state is entered.
// "stopKeyOff" keeps the stop hotkey off while the watch runs, so that only the button stops it.
RunStateEffects runStateEffects(RunEntry entry, bool stopKeyOff);

} // namespace kelvos
