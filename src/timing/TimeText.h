#pragma once

#include <QLocale>
#include <QString>
#include <QTime>

namespace kelvos {

// "hh:mm:ss:mmm", hours not wrapped at 24 and widened past two digits ("100:00:00:000").
// Truncates, never rounds.
QString formatFullTime(qint32 ms);

// Signed short form of a difference: "+0.045", "-5:123", "+12:34:321". Whole hours are dropped.
QString formatSignedShort(qint32 ms);

// The time of day in the locale's long time format, with seconds and without a time zone
// ("12:34:56"): the Realtime column, the title and the Display window show it.
QString formatWallClock(const QTime& time, const QLocale& locale = QLocale::system());
// The wait until the wall clock next shows another second.
inline int millisecondsToNextSecond(const QTime& time) {
    return 1000 - time.msec();
}

} // namespace kelvos
