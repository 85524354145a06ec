#include "MillisecondClock.h"

#include <ctime>

namespace kelvos {

quint32 SystemClock::now() const {
    timespec ts{};
    clock_gettime(CLOCK_MONOTONIC, &ts);
    const quint64 ms = quint64(ts.tv_sec) * 1000u + quint64(ts.tv_nsec) / 1000000u;
    return quint32(ms); // keep the low 32 bits: the counter wraps like a 32-bit tick count
}

const SystemClock& SystemClock::instance() {
    static const SystemClock clock;
    return clock;
}

} // namespace kelvos
