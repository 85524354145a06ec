#include "ValueText.h"

#include <cmath>

namespace kelvos::chart {
namespace {

QString grouped(const QString& digits) {
    QString out;
    const qsizetype n = digits.size();
    for (qsizetype i = 0; i < n; ++i) {
        if (i > 0 && (n - i) % 3 == 0)
            out += QLatin1Char(',');
        out += digits[i];
    }
    return out;
}

} // namespace

QString valueText(double value) {
    if (!std::isfinite(value))
        return QString::number(value);
    // Whole thousandths as a decimal text of digits, exact for any double.
    const long double thousandths = std::round(std::fabs(static_cast<long double>(value)) * 1000);
    QString digits = QString::number(static_cast<double>(thousandths), 'f', 0);
    while (digits.size() < 4)
        digits.prepend(QLatin1Char('0'));
    QString fraction = digits.right(3);
    while (fraction.endsWith(QLatin1Char('0')))
        fraction.chop(1);
    QString text = grouped(digits.left(digits.size() - 3));
    if (!fraction.isEmpty())
        text += QLatin1Char('.') + fraction;
    if (value < 0 && thousandths > 0)
        text.prepend(QLatin1Char('-'));
    return text;
}

} // namespace kelvos::chart
