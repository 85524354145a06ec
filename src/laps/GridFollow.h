#pragma once

#include <optional>

namespace kelvos {

// The top data row that makes row n the last fully visible row, or nothing when row n is
// already within the first fully visible rows. A grid too small to show one whole row still
// gets row n at the top rather than a top row past it.
std::optional<int> followNewestTopRow(int n, int fullyVisibleRows);

} // namespace kelvos
