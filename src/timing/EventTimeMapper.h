#pragma once

#include <QtGlobal>

namespace kelvos {

// Places an input event's own time stamp (the X server's milliseconds) on the stopwatch's
// clock, so that a press is timed when it happened, not when a busy UI thread got round to it.
//
// The offset between the two time bases is the smallest difference ever seen between the
// clock reading at which an event was received and the event's time stamp: the event that
// waited least in the queues shows the true offset best. Differences are taken in 32-bit
// wrap-around arithmetic, so the two counters may have any base and may wrap.
class EventTimeMapper {
public:
    // Notes that an event stamped `eventTime` was received at clock reading `receivedClock`.
    // A time stamp of 0 (none) is ignored.
    void observe(quint32 eventTime, quint32 receivedClock);

    // The clock reading at which the event stamped `eventTime` happened. Falls back to
    // `receivedClock` when the event has no time stamp (0) or nothing was observed yet, and
    // never returns a reading later than `receivedClock`.
    quint32 clockTimeOf(quint32 eventTime, quint32 receivedClock) const;

private:
    bool known_ = false;
    quint32 offset_ = 0;
};

} // namespace kelvos
