#pragma once

#include <QString>

namespace kelvos::chart {

// "#,##0.###": thousands grouped with ",", at most three decimals, rounded half away from
// zero, no trailing zeros: 1234.5 -> "1,234.5", 0.0004 -> "0".
QString valueText(double value);

} // namespace kelvos::chart
