#pragma once

#include "LapFacts.h"

#include <QString>
#include <QtGlobal>
#include <functional>
#include <optional>

namespace kelvos {

// A Main grid cell by column and row, as the lap chart reads the grid.
using GridCellReader = std::function<QString(int col, int row)>;

// The Main grid columns the lap chart plots: the lap and the average in milliseconds.
inline constexpr int kLapMilliColumn = int(LapColumn::LapMs);
inline constexpr int kAverageMilliColumn = int(LapColumn::AverageMs);

// The last 21 laps on the chart: the point indices shown and the value range that holds every
// lap and average time among them.
struct LapWindow {
    int firstIndex = 0;
    int lastIndex = 0;
    qint32 lowest = 0;
    qint32 highest = 0;
};

// Either a value or the message that tells the operator why there is none.
template <typename T> struct Checked {
    std::optional<T> value;
    QString problem;
};

// The window of the 21 laps ending at lap n (n at least 21), from the lap and average columns of
// rows n − 20 to n. A cell that is not a decimal integer leaves no window.
Checked<LapWindow> lapWindowEndingAt(int n, const GridCellReader& cell);

// One lap's point pair on the chart.
struct PointPair {
    qint32 lap = 0;
    qint32 average = 0;
};

// The pair of a row; strict conversion refuses a cell that is not a decimal integer, lenient
// conversion takes it as 0.
enum class CellConversion { Strict, Lenient };
Checked<PointPair> pointPairOfRow(int row, const GridCellReader& cell, CellConversion conversion);

// Whether the grid has laps to plot: row 1's lap time is an integer other than 0.
bool hasLapsToPlot(const GridCellReader& cell);

} // namespace kelvos
