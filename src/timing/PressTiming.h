#pragma once

#include "EventTimeMapper.h"
#include "PressClock.h"

namespace kelvos {

// The program's clock of presses, and the mapping of input events' own time stamps onto it:
// an input handler run inside a PressClock::Scope of pressReading() is timed when the key or
// button was pressed, however long the event waited in the queue.
class PressTiming {
public:
    explicit PressTiming(const MillisecondClock& live = SystemClock::instance()) : clock_(live) {}

    const MillisecondClock& clock() const { return clock_; }
    const MillisecondClock& live() const { return clock_.live(); }
    // The clock reading at which the event stamped `eventTime` (X server ms, 0 when unknown)
    // happened; each call also teaches the mapping.
    quint32 pressReading(quint32 eventTime);

private:
    PressClock clock_;
    EventTimeMapper mapper_;
};

} // namespace kelvos
