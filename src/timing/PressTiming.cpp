#include "PressTiming.h"

namespace kelvos {

quint32 PressTiming::pressReading(quint32 eventTime) {
    const quint32 received = clock_.live().now();
    mapper_.observe(eventTime, received);
    return mapper_.clockTimeOf(eventTime, received);
}

PressTiming::Down PressTiming::down(quint64 source, const void* target, quint32 eventTime,
                                    bool canRepeat) {
    const quint32 reading = pressReading(eventTime);
    const auto held = held_.find(source);
    if (canRepeat && held != held_.end() && qint32(reading - held->second.lastSeen) >= 0 &&
        qint32(reading - held->second.lastSeen) < kRepeatGapMs) {
        held->second.lastSeen = reading;
        return {reading, true};
    }
    held_[source] = {target, reading, reading};
    return {reading, false};
}

quint32 PressTiming::up(quint64 source, const void* target, quint32 eventTime) {
    const quint32 reading = pressReading(eventTime);
    const auto held = held_.find(source);
    if (held == held_.end())
        return reading;
    const Held press = held->second;
    held_.erase(held);
    return press.target == target ? press.pressedAt : reading;
}

} // namespace kelvos
