#pragma once

#include <QString>

namespace kelvos {

enum class SpeedUnit { KilometresPerHour, MilesPerHour };

// The course length of a list entry: the text as a decimal integer (optional sign, digits only,
// within 32 bits), 0 for anything else such as "400m", "abc" or an empty text.
qint32 courseLengthFromText(const QString& text);

// Speed over one lap in thousandths of a kilometre (or mile) per hour, truncated toward zero.
// A lap of 0 ms gives 0. Computed exactly, so a speed of exactly 48 km/h never shows as 47.999.
qint64 speedThousandths(qint32 courseLengthMetres, qint32 lapMs, SpeedUnit unit);

// "#.000": no leading zero before the separator (".500"), three decimals ("48.000").
QString speedText(qint64 thousandths, const QString& decimalSeparator);

} // namespace kelvos
