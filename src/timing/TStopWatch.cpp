#include "TStopWatch.h"

#include "TimeText.h"

#include <QVariant>

TStopWatch::TStopWatch(const kelvos::MillisecondClock& clock) : clock_(clock) {}

void TStopWatch::Start() {
    state_.store(pack(true, clock_.now()));
}

void TStopWatch::Stop() {
    state_.store(pack(false, quint32(GetElapsed())));
    writeDisplay();
}

void TStopWatch::Resume() {
    const quint64 word = state_.load();
    if (word & 1u)
        return; // already running: resuming again must not lose the time counted so far
    const quint32 carried = quint32(word >> 1);
    state_.store(pack(true, clock_.now() - carried));
}

qint32 TStopWatch::GetElapsed() const {
    // The clock reading counts only if the state was the same before and after it; otherwise a
    // stop or resume ran in between and the reading is taken again.
    for (;;) {
        const quint64 before = state_.load();
        const quint32 value = quint32(before >> 1);
        if (!(before & 1u))
            return qint32(value);
        const quint32 now = clock_.now();
        if (state_.load() == before)
            return qint32(now - value);
    }
}

QString TStopWatch::GetElapsedText() const {
    return kelvos::formatFullTime(GetElapsed());
}

void TStopWatch::UpdateDisplay() {
    writeDisplay();
}

void TStopWatch::writeDisplay() {
    if (DisplayLabel)
        DisplayLabel->setProperty("text", GetElapsedText());
}
