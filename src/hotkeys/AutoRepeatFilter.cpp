#include "AutoRepeatFilter.h"

#include <algorithm>

namespace kelvos {

bool AutoRepeatFilter::acceptPress(quint8 keycode, quint32 time) {
    KeyState& key = keys_[keycode];
    const bool sameTimeAsRelease = !detectable_ && key.released && key.releaseTime == time;
    const bool repeated = key.down || sameTimeAsRelease;
    key.down = true;
    return !repeated;
}

void AutoRepeatFilter::noteRelease(quint8 keycode, quint32 time) {
    KeyState& key = keys_[keycode];
    key.down = false;
    key.released = true;
    key.releaseTime = time;
}

std::vector<quint16> lockModifierCombinations(quint16 numLockMask, quint16 scrollLockMask) {
    constexpr quint16 capsLockMask = 0x0002; // X LockMask
    const std::array<quint16, 3> locks{capsLockMask, numLockMask, scrollLockMask};
    std::vector<quint16> combinations;
    for (unsigned subset = 0; subset < 8; ++subset) {
        quint16 mask = 0;
        for (unsigned bit = 0; bit < 3; ++bit) {
            if (subset & (1u << bit))
                mask |= locks[bit];
        }
        if (std::find(combinations.begin(), combinations.end(), mask) == combinations.end())
            combinations.push_back(mask);
    }
    return combinations;
}

} // namespace kelvos
