#pragma once

#include "ClipPlayer.h"

#include <atomic>
#include <functional>
#include <memory>
#include <mutex>

namespace kelvos {

// Clip playback through SDL2's audio subsystem. One clip sounds at a time: starting a clip
// stops the one playing, whose play() call then returns early. The beep is delegated to the
// given function (the desktop's bell), which the player calls from whatever thread played.
//
// SDL and the sound server libraries it pulls in are loaded by prepare(), when the first sound
// is asked for, not when the program starts: a watch that never sounds never pays for them.
class SdlClipPlayer final : public ClipPlayer {
public:
    explicit SdlClipPlayer(std::function<void()> beep);
    ~SdlClipPlayer() override;
    SdlClipPlayer(const SdlClipPlayer&) = delete;
    SdlClipPlayer& operator=(const SdlClipPlayer&) = delete;

    // Loads SDL and starts its audio subsystem, once; later calls do nothing.
    void prepare() override;
    void play(const QString& fileName) override;
    void beep() override;
    void stop() override;

    // Whether the audio subsystem came up; without it every clip becomes a beep.
    bool hasAudio() const { return audioReady_.load(std::memory_order_acquire); }

private:
    struct Sdl;
    static std::unique_ptr<const Sdl> loadSdl();
    bool playToEnd(const QString& fileName, quint64 generation);

    std::function<void()> beep_;
    std::once_flag prepared_;
    std::unique_ptr<const Sdl> sdl_; // written once by prepare(), before audioReady_
    std::atomic<bool> audioReady_{false};
    std::atomic<quint64> generation_{0};
    std::mutex deviceMutex_;
};

} // namespace kelvos
