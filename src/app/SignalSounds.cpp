#include "SignalSounds.h"

void SignalSounds::play(const QStringList& clips) {
    if (!voiceOn())
        return beep();
    playAlways(clips);
}

void SignalSounds::beep() {
    if (!muted_)
        queue_.enqueueBeep();
}

void SignalSounds::playAlways(const QStringList& clips) {
    if (muted_)
        return;
    for (const QString& clip : clips)
        queue_.enqueue(clip);
}
