#include "ClipPlayer.h"

namespace kelvos {

void RecordingClipPlayer::play(const QString& fileName) {
    std::lock_guard lock(mutex_);
    heard_ << fileName;
}

void RecordingClipPlayer::beep() {
    std::lock_guard lock(mutex_);
    heard_ << QStringLiteral("beep");
}

void RecordingClipPlayer::stop() {
    std::lock_guard lock(mutex_);
    heard_ << QStringLiteral("stop");
}

QStringList RecordingClipPlayer::heard() const {
    std::lock_guard lock(mutex_);
    return heard_;
}

void RecordingClipPlayer::clear() {
    std::lock_guard lock(mutex_);
    heard_.clear();
}

} // namespace kelvos
