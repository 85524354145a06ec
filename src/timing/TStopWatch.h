#pragma once

#include "MillisecondClock.h"

#include <QtGlobal>
#include <atomic>

// The one clock of the program: a running total of milliseconds that can be started from zero,
// frozen and resumed without counting the pause.
//
// It only measures: whatever shows the total formats it. Start, Stop and Resume belong to the UI
// thread; GetElapsed may be called from any thread at any time. The whole state is one 64-bit
// atomic word, so a reader on another thread always sees a consistent state without taking a lock.
//
// Each operation also comes with a given clock reading (StartAt, StopAt, ResumeAt, elapsedAt),
// for a press timed by its input event rather than by the moment it is handled.
class TStopWatch {
public:
    explicit TStopWatch(const kelvos::MillisecondClock& clock = kelvos::SystemClock::instance());

    void Start();
    void Stop();
    void Resume();
    void StartAt(quint32 clock);
    void StopAt(quint32 clock);
    void ResumeAt(quint32 clock);

    qint32 GetElapsed() const;
    // The total at the clock reading `clock`. A reading from before the current running
    // stretch began gives the total carried into it (0 after Start), never a negative or
    // wrapped total.
    qint32 elapsedAt(quint32 clock) const;

private:
    // Bit 0: running. Bits 1-32: the clock reading at which the running stretch began. Bits
    // 33-63: the total carried into that stretch, or while stopped the frozen total (a total is
    // never negative, so 31 bits hold it).
    static quint64 pack(bool running, quint32 startTick, qint32 total) {
        return (quint64(quint32(total) & 0x7fffffffu) << 33) | (quint64(startTick) << 1) | running;
    }
    static bool isRunning(quint64 word) { return word & 1u; }
    static quint32 startTickOf(quint64 word) { return quint32(word >> 1); }
    static qint32 totalOf(quint64 word) { return qint32(word >> 33); }
    static qint32 elapsedIn(quint64 word, quint32 clock);

    const kelvos::MillisecondClock& clock_;
    std::atomic<quint64> state_{0};
};
