#pragma once

#include "ClipPlayer.h"

#include <atomic>
#include <functional>
#include <mutex>

namespace kelvos {

// Clip playback through SDL2's audio subsystem. One clip sounds at a time: starting a clip
// stops the one playing, whose play() call then returns early. The beep is delegated to the
// given function (the desktop's bell), which the player calls from whatever thread played.
class SdlClipPlayer final : public ClipPlayer {
public:
    explicit SdlClipPlayer(std::function<void()> beep);
    ~SdlClipPlayer() override;
    SdlClipPlayer(const SdlClipPlayer&) = delete;
    SdlClipPlayer& operator=(const SdlClipPlayer&) = delete;

    void play(const QString& fileName) override;
    void beep() override;
    void stop() override;

    // Whether the audio subsystem came up; without it every clip becomes a beep.
    bool hasAudio() const { return audioReady_; }

private:
    bool playToEnd(const QString& fileName, quint64 generation);

    std::function<void()> beep_;
    bool audioReady_ = false;
    std::atomic<quint64> generation_{0};
    std::mutex deviceMutex_;
};

} // namespace kelvos
