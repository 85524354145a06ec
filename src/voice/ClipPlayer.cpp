#include "ClipPlayer.h"

namespace kelvos {

void RecordingClipPlayer::play(const QString& fileName) {
    note(fileName);
}

void RecordingClipPlayer::pause(std::chrono::milliseconds duration) {
    std::lock_guard lock(mutex_);
    pauses_ << int(duration.count());
}

void RecordingClipPlayer::playSignal(const QString& fileName) {
    note(fileName);
}

void RecordingClipPlayer::beep() {
    note(QStringLiteral("beep"));
}

void RecordingClipPlayer::stop() {
    note(QStringLiteral("stop"));
}

void RecordingClipPlayer::setLevels(SoundLevels levels) {
    std::lock_guard lock(mutex_);
    levels_ = levels;
}

void RecordingClipPlayer::note(const QString& entry) {
    std::lock_guard lock(mutex_);
    heard_ << entry;
}

QStringList RecordingClipPlayer::heard() const {
    std::lock_guard lock(mutex_);
    return heard_;
}

SoundLevels RecordingClipPlayer::levels() const {
    std::lock_guard lock(mutex_);
    return levels_;
}

QList<int> RecordingClipPlayer::pauses() const {
    std::lock_guard lock(mutex_);
    return pauses_;
}

void RecordingClipPlayer::clear() {
    std::lock_guard lock(mutex_);
    heard_.clear();
    pauses_.clear();
}

} // namespace kelvos
