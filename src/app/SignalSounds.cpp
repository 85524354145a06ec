#include "SignalSounds.h"

void SignalSounds::play(const QStringList& clips) {
    if (!voiceOn())
        return beep();
    playAlways(clips);
}

void SignalSounds::playAlways(const QStringList& clips) {
    for (const QString& clip : clips)
        queue_.enqueue(clip);
}
