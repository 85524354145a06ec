#pragma once

#include "EventTimeMapper.h"
#include "PressClock.h"

#include <unordered_map>

namespace kelvos {

// The program's clock of presses, and the mapping of input events' own time stamps onto it:
// an input handler run inside a PressClock::Scope of pressReading() is timed when the key or
// button was pressed, however long the event waited in the queue.
//
// It also pairs each key or button that goes down with the release that ends it, so that a
// command given at the release (a click, the space bar) is timed when the press began, and a key
// that goes down again without having come up is known for a repeat.
class PressTiming {
public:
    // Presses of a held key closer together than this are the key repeating by itself: the
    // keyboard's auto-repeat delay is at most about 0.7 s.
    static constexpr qint32 kRepeatGapMs = 1000;

    explicit PressTiming(const MillisecondClock& live = SystemClock::instance()) : clock_(live) {}

    const MillisecondClock& clock() const { return clock_; }
    const MillisecondClock& live() const { return clock_.live(); }
    // The clock reading at which the event stamped `eventTime` (X server ms, 0 when unknown)
    // happened; each call also teaches the mapping.
    quint32 pressReading(quint32 eventTime);

    struct Down {
        quint32 reading = 0;
        bool repeat = false; // the source was still held: the key repeats, nobody pressed it
    };
    // `source` (a key or a mouse button, any number that tells them apart) went down in `target`
    // (a window; only compared). A key (`canRepeat`) that never came up since it last went down
    // less than kRepeatGapMs before is repeating, whatever its event says; without a window
    // manager the server's repeats can reach the window as plain presses.
    Down down(quint64 source, const void* target, quint32 eventTime, bool canRepeat);
    // `source` came up in `target`: the reading of the press it ends when that went down in the
    // same target, otherwise its own.
    quint32 up(quint64 source, const void* target, quint32 eventTime);

private:
    struct Held {
        const void* target = nullptr;
        quint32 pressedAt = 0; // the reading of the press
        quint32 lastSeen = 0;  // the reading of the press or of its latest repeat
    };

    PressClock clock_;
    EventTimeMapper mapper_;
    std::unordered_map<quint64, Held> held_;
};

} // namespace kelvos
