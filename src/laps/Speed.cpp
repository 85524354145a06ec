#include "Speed.h"

#include "TextDecoding.h"

namespace kelvos {

namespace {

// Metres per unit, in hundredths of a metre, so that 1609.34 stays exact.
constexpr qint64 centimetresPerUnit(SpeedUnit unit) {
    return unit == SpeedUnit::MilesPerHour ? 160934 : 100000;
}

// Milliseconds per hour, times 1000 for thousandths, times 100 because the unit is in centimetres.
constexpr __int128 kScaledMsPerHourThousandths = __int128(3'600'000) * 1000 * 100;

} // namespace

qint32 courseLengthFromText(const QString& text) {
    return parseStrictDecimal(text).value_or(0);
}

qint64 speedThousandths(qint32 courseLengthMetres, qint32 lapMs, SpeedUnit unit) {
    if (lapMs == 0) {
        return 0;
    }
    // length / U / ms * 3 600 000 000 as one exact fraction; integer division truncates toward
    // zero, which is the truncation the speed columns show.
    const __int128 numerator = __int128(courseLengthMetres) * kScaledMsPerHourThousandths;
    const __int128 denominator = __int128(centimetresPerUnit(unit)) * lapMs;
    return static_cast<qint64>(numerator / denominator);
}

QString speedText(qint64 thousandths, const QString& decimalSeparator) {
    const quint64 magnitude =
        thousandths < 0 ? quint64(0) - quint64(thousandths) : quint64(thousandths);
    const quint64 whole = magnitude / 1000;
    const QString sign = thousandths < 0 ? QStringLiteral("-") : QString();
    const QString wholeText = whole == 0 ? QString() : QString::number(whole);
    return sign + wholeText + decimalSeparator +
           QStringLiteral("%1").arg(magnitude % 1000, 3, 10, QLatin1Char('0'));
}

} // namespace kelvos
