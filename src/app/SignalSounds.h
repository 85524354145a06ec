#pragma once

#include "SignalQueue.h"

#include <QStringList>
#include <functional>

// The acoustic answers to the operator's commands: with "Voice" on the named clips one after
// another, otherwise one beep for them all. Nothing here waits for a sound.
class SignalSounds {
public:
    SignalSounds(kelvos::ClipPlayer& player, std::function<bool()> voiceOn)
        : queue_(player), voiceOn_(std::move(voiceOn)) {}

    void play(const QStringList& clips);
    void beep();
    // Clips that sound whatever "Voice" says (the start-up jingle, the closing sounds).
    void playAlways(const QStringList& clips);
    bool voiceOn() const { return voiceOn_(); }
    // While muted nothing sounds, the beep neither (a run being rebuilt from its record).
    void setMuted(bool muted) { muted_ = muted; }
    // Blocks until everything asked for so far has sounded.
    void waitUntilIdle() { queue_.waitUntilIdle(); }
    // Lets what was asked for sound for at most `bound`, then cuts it short.
    void finishWithin(std::chrono::milliseconds bound) { queue_.finishWithin(bound); }

private:
    kelvos::SignalQueue queue_;
    std::function<bool()> voiceOn_;
    bool muted_ = false;
};
