#pragma once

#include "ClipBank.h"
#include "ClipPlayer.h"

#include <atomic>
#include <condition_variable>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>

namespace kelvos {

// Clip playback through SDL2's audio subsystem: one output, opened once and kept open, into
// which the player mixes two lanes, the read-out voice and the signal tones, each at its own level.
// Each lane is a queue of clips and silences that the output takes in order, so a read-out is one
// continuous stream whose rhythm is set by its gaps, not by the machine. Clips are loaded and
// checked once. The beep is delegated to the given function (the desktop's bell), which the player
// calls from whatever thread played.
//
// SDL and the sound server libraries it pulls in are loaded by prepare(), when the first sound
// is asked for, not when the program starts: a watch that never sounds never pays for them.
class SdlClipPlayer final : public ClipPlayer {
public:
    // `locate` gives the file of a clip name (by default the name itself, in the working
    // directory); `report` takes the one message about clips that cannot be used.
    explicit SdlClipPlayer(
        std::function<void()> beep,
        std::function<QString(const QString&)> locate = [](const QString& name) { return name; },
        std::function<void(const QString&)> report = {});
    ~SdlClipPlayer() override;
    SdlClipPlayer(const SdlClipPlayer&) = delete;
    SdlClipPlayer& operator=(const SdlClipPlayer&) = delete;

    // Loads SDL, opens the output and checks the clip set of the read-outs, once; later calls do
    // nothing.
    void prepare() override;
    void play(const QString& fileName) override;
    void pause(std::chrono::milliseconds duration) override;
    void endGroup() override;
    void playSignal(const QString& fileName) override;
    void beep() override;
    void stop() override;
    void stopSignals() override;
    void setLevels(SoundLevels levels) override;

    // Whether the output is open; without it every clip becomes a beep.
    bool hasAudio() const { return audioReady_.load(std::memory_order_acquire); }

    // Gaps of the read-out voice: between the words of a group, and between groups.
    static constexpr std::chrono::milliseconds kWordGap{40};
    static constexpr std::chrono::milliseconds kGroupGap{160};

private:
    struct Sdl;
    struct Segment {
        std::shared_ptr<const ClipSamples> clip; // null: silence
        qint64 length = 0;
        qint64 at = 0;
    };
    // One queue of the output: `taken` counts the samples the output has taken from it since it
    // opened, `end` the samples appended, so a segment appended at `end` e begins to sound when
    // `taken` reaches e.
    struct Lane {
        std::deque<Segment> queue;
        qint64 taken = 0;
        qint64 end = 0;
        quint64 cuts = 0;      // counts stop()s, so that a waiting call sees it was cut
        qint64 pendingGap = 0; // silence owed before the next clip of the voice
    };
    enum class Until { Begins, Ends };

    static std::unique_ptr<const Sdl> loadSdl();
    static void fill(void* self, quint8* stream, int bytes);
    void feed(qint16* out, int samples);
    static void takeFrom(Lane& lane, qint16* samples, int count);
    void append(Lane& lane, std::shared_ptr<const ClipSamples> clip, qint64 length, Until until);
    void cut(Lane& lane);

    std::function<void()> beep_;
    ClipBank bank_;
    std::once_flag prepared_;
    std::unique_ptr<const Sdl> sdl_; // written once by prepare(), before audioReady_
    quint32 device_ = 0;
    std::atomic<bool> audioReady_{false};

    std::mutex mutex_; // guards the lanes and closing_; taken by the output's thread too
    std::condition_variable progressed_;
    Lane voice_;
    Lane signals_;
    bool closing_ = false;
    // Read by the output's thread at every block it mixes, so a change is heard at once.
    std::atomic<SoundLevels> levels_{SoundLevels{}};
};

} // namespace kelvos
