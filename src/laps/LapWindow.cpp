#include "LapWindow.h"

#include "TextDecoding.h"

#include <algorithm>

namespace kelvos {
namespace {

constexpr int kWindowLaps = 21;

QString notAnInteger(const QString& text) {
    return QStringLiteral("'%1' is not a valid integer value").arg(text);
}

} // namespace

Checked<LapWindow> lapWindowEndingAt(int n, const GridCellReader& cell) {
    LapWindow window{n - (kWindowLaps - 1), n, 0, 0};
    bool first = true;
    for (int col : {kLapMilliColumn, kAverageMilliColumn}) {
        for (int row = n; row > n - kWindowLaps; --row) {
            const QString text = cell(col, row);
            const std::optional<qint32> value = parseStrictDecimal(text);
            if (!value)
                return {std::nullopt, notAnInteger(text)};
            window.lowest = first ? *value : std::min(window.lowest, *value);
            window.highest = first ? *value : std::max(window.highest, *value);
            first = false;
        }
    }
    return {window, {}};
}

Checked<PointPair> pointPairOfRow(int row, const GridCellReader& cell, CellConversion conversion) {
    PointPair pair;
    for (auto [col, target] :
         {std::pair{kLapMilliColumn, &pair.lap}, std::pair{kAverageMilliColumn, &pair.average}}) {
        const QString text = cell(col, row);
        const std::optional<qint32> value = parseStrictDecimal(text);
        if (!value && conversion == CellConversion::Strict)
            return {std::nullopt, notAnInteger(text)};
        *target = value.value_or(0);
    }
    return {pair, {}};
}

bool hasLapsToPlot(const GridCellReader& cell) {
    return parseStrictDecimal(cell(kLapMilliColumn, 1)).value_or(0) != 0;
}

} // namespace kelvos
