#pragma once

#include "MillisecondClock.h"

#include <QObject>
#include <QPointer>
#include <QString>
#include <atomic>

// The one clock of the program: a running total of milliseconds that can be started from zero,
// frozen and resumed without counting the pause.
//
// Start, Stop, Resume and UpdateDisplay belong to the UI thread; GetElapsed may be called from
// any thread at any time. The whole state is one 64-bit atomic word, so a reader on another
// thread always sees a consistent pair of (running, value) without taking a lock.
class TStopWatch {
public:
    explicit TStopWatch(const kelvos::MillisecondClock& clock = kelvos::SystemClock::instance());

    void Start();
    void Stop();
    void Resume();

    qint32 GetElapsed() const;
    QString GetElapsedText() const;
    void UpdateDisplay();

    // The object whose "text" property receives the formatted total (a label). It is not owned;
    // when it is destroyed the binding clears itself and nothing is written any more.
    void setDisplayLabel(QObject* label) { DisplayLabel = label; }
    QObject* displayLabel() const { return DisplayLabel; }

private:
    // While running, the word holds the clock reading at which the total would have been zero
    // (start tick minus carried total, wrapping), so the total is now - base in 32-bit arithmetic.
    // While stopped, it holds the frozen total.
    static quint64 pack(bool running, quint32 value) { return (quint64(value) << 1) | running; }

    void writeDisplay();

    const kelvos::MillisecondClock& clock_;
    std::atomic<quint64> state_{0};
    QPointer<QObject> DisplayLabel;
};
