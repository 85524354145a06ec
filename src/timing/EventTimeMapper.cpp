#include "EventTimeMapper.h"

namespace kelvos {

void EventTimeMapper::observe(quint32 eventTime, quint32 receivedClock) {
    if (eventTime == 0)
        return;
    const quint32 offset = receivedClock - eventTime;
    if (!known_ || qint32(offset - offset_) < 0)
        offset_ = offset;
    known_ = true;
}

quint32 EventTimeMapper::clockTimeOf(quint32 eventTime, quint32 receivedClock) const {
    if (eventTime == 0 || !known_)
        return receivedClock;
    const quint32 mapped = eventTime + offset_;
    return qint32(mapped - receivedClock) > 0 ? receivedClock : mapped;
}

} // namespace kelvos
