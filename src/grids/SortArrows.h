#pragma once

#include <QImage>

namespace kelvos {

// The 8 × 9 sort arrows "BBUP" and "BBDOWN": an outlined triangle on silver, its edges facing
// up or left dark grey and those facing down or right white. Drawn once, shared by all grids.
const QImage& sortArrowUp();
const QImage& sortArrowDown();

} // namespace kelvos
