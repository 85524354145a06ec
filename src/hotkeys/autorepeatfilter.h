#pragma once

#include <QtGlobal>
#include <array>
#include <vector>

namespace kelvos {

// Tells the first press of a held key from the presses the X server repeats while it
// stays down, so that one physical press gives one command. Handles both forms of
// auto-repeat: repeated presses without releases (detectable auto-repeat) and
// release/press pairs that carry the same server time.
class AutoRepeatFilter {
public:
    // True when this press is a new physical press, false when it is a repeat.
    bool acceptPress(quint8 keycode, quint32 time);
    void noteRelease(quint8 keycode, quint32 time);

private:
    struct KeyState {
        bool down = false;
        bool released = false;
        quint32 releaseTime = 0;
    };
    std::array<KeyState, 256> keys_{};
};

// The lock-modifier masks a grab must cover so that the hotkey works whatever the state
// of CapsLock (X LockMask), NumLock and ScrollLock: every subset of the three, each mask
// once. A lock whose mask is 0 (not mapped on this keyboard) adds nothing.
std::vector<quint16> lockModifierCombinations(quint16 numLockMask, quint16 scrollLockMask);

} // namespace kelvos
