#pragma once

#include <QtGlobal>
#include <array>
#include <vector>

namespace kelvos {

// Tells the first press of a held key from the presses the X server repeats while it
// stays down, so that one physical press gives one command.
//
// With detectable auto-repeat (the server repeats presses without releases) only a press
// while the key is down is a repeat, so presses sent back to back all count. Without it the
// server repeats release/press pairs that carry the same server time, and a press in the
// millisecond of the key's release is taken for a repeat as well.
class AutoRepeatFilter {
public:
    void setDetectableAutoRepeat(bool detectable) { detectable_ = detectable; }
    bool detectableAutoRepeat() const { return detectable_; }
    // Whether the key's last event was a press.
    bool isDown(quint8 keycode) const { return keys_[keycode].down; }

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
    bool detectable_ = false;
};

// The lock-modifier masks a grab must cover so that the hotkey works whatever the state
// of CapsLock (X LockMask), NumLock and ScrollLock: every subset of the three, each mask
// once. A lock whose mask is 0 (not mapped on this keyboard) adds nothing.
std::vector<quint16> lockModifierCombinations(quint16 numLockMask, quint16 scrollLockMask);

} // namespace kelvos
