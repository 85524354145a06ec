#pragma once

#include <QLatin1String>
#include <QString>
#include <iterator>

namespace kelvos {

// The seven commands as a desktop's shortcut settings list them: a stable id and what the
// command does. Hotkey index i is kHotkeyCommands[i - 1].
struct HotkeyCommand {
    const char* id;
    const char* description;
};
inline constexpr HotkeyCommand kHotkeyCommands[] = {
    {"start", "Start the watch"},     {"stop", "Stop the watch"},
    {"restart", "Restart the watch"}, {"reset", "Reset the watch"},
    {"lap1", "Lap of competitor 1"},  {"lap2", "Lap of competitor 2"},
    {"lap3", "Lap of competitor 3"},
};
inline constexpr int kHotkeyCommandCount = int(std::size(kHotkeyCommands));

// The hotkey index of a command id, 0 for an unknown id.
inline int hotkeyIndexOfId(const QString& id) {
    for (int i = 0; i < kHotkeyCommandCount; ++i)
        if (id == QLatin1String(kHotkeyCommands[i].id))
            return i + 1;
    return 0;
}

} // namespace kelvos
