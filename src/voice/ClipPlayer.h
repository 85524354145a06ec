#pragma once

#include <QString>
#include <QStringList>
#include <functional>
#include <mutex>

namespace kelvos {

// Plays WAV clips by bare file name from the working directory. play() returns when the clip
// has finished (or was cut short by a newer clip); a clip that is missing or cannot be played
// gives the default beep instead. Safe to call from any thread.
class ClipPlayer {
public:
    virtual ~ClipPlayer() = default;
    // Readies the output before the first clip is asked for. Called on the thread that made the
    // player, which is where a sound library that keeps per-thread state must be started; a
    // player that needs nothing ready ignores it.
    virtual void prepare() {}
    virtual void play(const QString& fileName) = 0;
    virtual void beep() = 0;
    // Cuts the clip that is playing short; its play() call returns. Clips played later sound.
    virtual void stop() = 0;
};

// Remembers what would have been heard, in order: "beep" for a beep, "stop" for a stop, else the
// clip's name.
// Used where sound must be checked without a sound card.
class RecordingClipPlayer final : public ClipPlayer {
public:
    void play(const QString& fileName) override;
    void beep() override;
    void stop() override;
    QStringList heard() const;
    void clear();

private:
    mutable std::mutex mutex_;
    QStringList heard_;
};

} // namespace kelvos
