#include "GridFollow.h"

#include <algorithm>

namespace kelvos {

std::optional<int> followNewestTopRow(int n, int fullyVisibleRows) {
    const int visible = std::max(fullyVisibleRows, 1);
    if (visible >= n) {
        return std::nullopt;
    }
    return n - visible + 1;
}

} // namespace kelvos
