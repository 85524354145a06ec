#include "TStopWatch.h"

TStopWatch::TStopWatch(const kelvos::MillisecondClock& clock) : clock_(clock) {}

void TStopWatch::Start() {
    StartAt(clock_.now());
}

void TStopWatch::Stop() {
    StopAt(clock_.now());
}

void TStopWatch::Resume() {
    ResumeAt(clock_.now());
}

void TStopWatch::StartAt(quint32 clock) {
    state_.store(pack(true, clock, 0));
}

void TStopWatch::StopAt(quint32 clock) {
    state_.store(pack(false, 0, elapsedAt(clock)));
}

void TStopWatch::ResumeAt(quint32 clock) {
    const quint64 word = state_.load();
    if (isRunning(word))
        return; // already running: resuming again must not lose the time counted so far
    state_.store(pack(true, clock, totalOf(word)));
}

qint32 TStopWatch::elapsedIn(quint64 word, quint32 clock) {
    if (!isRunning(word))
        return totalOf(word);
    const qint32 sinceStart = qint32(clock - startTickOf(word));
    return sinceStart < 0 ? totalOf(word) : qint32(quint32(totalOf(word)) + quint32(sinceStart));
}

qint32 TStopWatch::elapsedAt(quint32 clock) const {
    return elapsedIn(state_.load(), clock);
}

qint32 TStopWatch::GetElapsed() const {
    // The clock reading counts only if the state was the same before and after it; otherwise a
    // stop or resume ran in between and the reading is taken again.
    for (;;) {
        const quint64 before = state_.load();
        if (!isRunning(before))
            return totalOf(before);
        const quint32 now = clock_.now();
        if (state_.load() == before)
            return elapsedIn(before, now);
    }
}
