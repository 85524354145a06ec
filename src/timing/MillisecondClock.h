#pragma once

#include <QtGlobal>
#include <atomic>

namespace kelvos {

// A millisecond counter that wraps at 2^32, read by the stopwatch. Differences of two readings
// are taken in unsigned 32-bit arithmetic, so they stay right across a wrap of the counter.
class MillisecondClock {
public:
    virtual ~MillisecondClock() = default;
    virtual quint32 now() const = 0;
};

// The monotonic system clock: never jumps when the wall clock is set.
class SystemClock final : public MillisecondClock {
public:
    quint32 now() const override;
    static const SystemClock& instance();
};

// A clock that moves only when told to: for tests, benchmarks and replays.
class ManualClock final : public MillisecondClock {
public:
    explicit ManualClock(quint32 start = 0) : ticks_(start) {}
    quint32 now() const override { return ticks_.load(std::memory_order_acquire); }
    void set(quint32 ticks) { ticks_.store(ticks, std::memory_order_release); }
    void advance(quint32 ms) { ticks_.fetch_add(ms, std::memory_order_acq_rel); }

private:
    std::atomic<quint32> ticks_;
};

} // namespace kelvos
