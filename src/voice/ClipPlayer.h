#pragma once

#include "SoundLevels.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <chrono>
#include <mutex>

namespace kelvos {

// Plays WAV clips by bare file name on two lanes that sound together: the read-out voice, one
// continuous stream of clips, gaps and pauses, and the signal tones of the commands, mixed over
// it. A clip that is missing or cannot be played gives the default beep instead. Safe to call
// from any thread.
class ClipPlayer {
public:
    virtual ~ClipPlayer() = default;
    // Readies the output before the first clip is asked for. Called on the thread that made the
    // player, which is where a sound library that keeps per-thread state must be started; a
    // player that needs nothing ready ignores it.
    virtual void prepare() {}
    // Appends a clip to the read-out voice, after a short gap. Returns once the clip has begun to
    // sound, so that the caller can append the next one before it ends and the stream has no
    // hole; or at once when the voice is cut short.
    virtual void play(const QString& fileName) = 0;
    // Silence of the given length in the read-out voice, before its next clip.
    virtual void pause(std::chrono::milliseconds duration) = 0;
    // A group of words ends: the next clip follows after a longer gap than between words.
    virtual void endGroup() {}
    // A signal tone, mixed over the voice; tones follow one another. Returns when it has sounded.
    virtual void playSignal(const QString& fileName) = 0;
    virtual void beep() = 0;
    // Cuts the read-out voice short: what it holds is dropped, its waiting calls return.
    virtual void stop() = 0;
    // Cuts the signal tones short in the same way.
    virtual void stopSignals() {}
    // How loud the voice and the tones sound from now on, what is already playing included. A
    // player that has no output of its own to mix, such as the desktop's bell, ignores it.
    virtual void setLevels(SoundLevels) {}
};

// Remembers what would have been heard, in order: "beep" for a beep, "stop" for a stop, else the
// clip's name, whichever lane it went to; the pauses of the voice and the levels are kept apart.
// Used where sound must be checked without a sound card.
class RecordingClipPlayer final : public ClipPlayer {
public:
    void play(const QString& fileName) override;
    void pause(std::chrono::milliseconds duration) override;
    void playSignal(const QString& fileName) override;
    void beep() override;
    void stop() override;
    void setLevels(SoundLevels levels) override;
    QStringList heard() const;
    SoundLevels levels() const;
    // The pauses of the voice in milliseconds, in order.
    QList<int> pauses() const;
    void clear();

private:
    void note(const QString& entry);

    mutable std::mutex mutex_;
    QStringList heard_;
    QList<int> pauses_;
    SoundLevels levels_;
};

} // namespace kelvos
