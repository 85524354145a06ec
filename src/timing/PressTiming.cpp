#include "PressTiming.h"

namespace kelvos {

quint32 PressTiming::pressReading(quint32 eventTime) {
    const quint32 received = clock_.live().now();
    mapper_.observe(eventTime, received);
    return mapper_.clockTimeOf(eventTime, received);
}

} // namespace kelvos
