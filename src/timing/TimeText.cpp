#include "TimeText.h"

#include <QRegularExpression>

namespace kelvos {

QString formatFullTime(qint32 ms) {
    // Milliseconds keep the sign of the value; the larger units are split as unsigned, so a
    // (never expected) negative total cannot print negative hours.
    const qint32 millis = ms % 1000;
    const quint32 secs = quint32(ms / 1000);
    const quint32 seconds = secs % 60;
    const quint32 minutes = (secs / 60) % 60;
    const quint32 hours = (secs / 60) / 60;
    return QString::asprintf("%2.2u:%2.2u:%2.2u:%3.3d", hours, minutes, seconds, millis);
}

QString formatSignedShort(qint32 ms) {
    const bool negative = ms < 0;
    // Computed in 64 bits so that the most negative value has a magnitude too.
    const qint64 magnitude = negative ? -qint64(ms) : qint64(ms);
    const int millis = int(magnitude % 1000);
    const qint64 secs = magnitude / 1000;
    const int seconds = int(secs % 60);
    const int minutes = int((secs / 60) % 60);
    const char* sign = negative ? "-" : "+";
    if (minutes >= 10)
        return QString::asprintf("%s%2.2d:%2.2d:%3.3d", sign, minutes, seconds, millis);
    if (minutes >= 1)
        return QString::asprintf("%s%1.1d:%2.2d:%3.3d", sign, minutes, seconds, millis);
    if (seconds >= 10)
        return QString::asprintf("%s%2.2d:%3.3d", sign, seconds, millis);
    if (seconds >= 1)
        return QString::asprintf("%s%1.1d:%3.3d", sign, seconds, millis);
    return QString::asprintf("%s0.%3.3d", sign, millis);
}

QString formatWallClock(const QTime& time, const QLocale& locale) {
    // Qt's long time format carries the time zone ("t", "tttt"); the clock of a lap does not.
    static const QRegularExpression timeZone(QStringLiteral("\\s*t+"));
    QString format = locale.timeFormat(QLocale::LongFormat);
    format.remove(timeZone);
    return time.toString(format.trimmed());
}

} // namespace kelvos
