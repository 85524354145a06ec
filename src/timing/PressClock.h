#pragma once

#include "MillisecondClock.h"

#include <optional>

namespace kelvos {

// The clock of a press: while an input event is being handled on a thread, the reading at
// which that event happened; otherwise the live clock. A stopwatch built on it times every
// start, stop and lap run from an input handler at the moment of the press, with no change to
// the handler.
//
// The reading is set per thread by a Scope, so an announcer thread that reads the stopwatch
// while the UI thread handles a press still sees the live clock.
class PressClock final : public MillisecondClock {
public:
    explicit PressClock(const MillisecondClock& live = SystemClock::instance()) : live_(live) {}

    quint32 now() const override;
    const MillisecondClock& live() const { return live_; }

    // While it lives, now() on this thread returns `clockReading`, or the live clock when it is
    // none. Scopes nest: the end of an inner scope brings back the outer one's reading.
    class Scope {
    public:
        explicit Scope(std::optional<quint32> clockReading);
        ~Scope();
        Scope(const Scope&) = delete;
        Scope& operator=(const Scope&) = delete;

    private:
        std::optional<quint32> outer_;
    };

private:
    const MillisecondClock& live_;
};

} // namespace kelvos
