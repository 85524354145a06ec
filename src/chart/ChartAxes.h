#pragma once

namespace kelvos::chart {

enum class AxisId { Left, Right, Top, Bottom };

struct AxisRange {
    double minimum = 0;
    double maximum = 0;
    bool automatic = true;
};

// The two directions a chart scales. The left axis mirrors the right one and the top axis
// mirrors the bottom one, so every axis belongs to exactly one direction.
enum class Direction { Horizontal, Vertical };

constexpr Direction directionOf(AxisId axis) {
    return axis == AxisId::Left || axis == AxisId::Right ? Direction::Vertical
                                                         : Direction::Horizontal;
}

} // namespace kelvos::chart
