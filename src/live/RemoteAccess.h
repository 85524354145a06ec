#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <optional>

namespace kelvos {

// The pairing of remote timekeepers' devices, and when a press they send is timed.

// 128 random bits from the system's generator, as 32 lowercase hex digits: the secret a
// pairing link carries.
QByteArray newRemoteToken();

// Whether `given` is `expected`, in a time that depends only on their lengths, so that the
// answer's timing tells nothing of how much of a guess was right. An empty `expected` (no
// pairing) matches nothing.
bool tokenMatches(QByteArrayView expected, QByteArrayView given);

// When a remote press is timed, on the press clock (ms readings that wrap at 2^32).
struct RemotePressTime {
    quint32 reading = 0;
    bool atArrival = false; // the device's touch time was unknown or not plausible
};

// The device's touch time, converted to the press clock, when it lies after the run's previous
// press and not after now; otherwise the moment the press arrived. A touch before the previous
// press would give a lap below zero, and one after now a lap from the future: both are clocks
// gone wrong, not presses.
RemotePressTime remotePressTime(std::optional<quint32> touched, quint32 previousPress,
                                quint32 arrived, quint32 now);

} // namespace kelvos
