#pragma once

#include <QString>
#include <QStringList>

namespace kelvos {

// The speed unit a header line names.
enum class HeaderUnit { Kilometre, Mile };

// Header lines, written into row 0 as comma text.
QString mainGridHeaderLine(HeaderUnit unit);
// The mile line written when the window is first shown with the mile unit already chosen.
QString mainGridStartupMileHeaderLine();
QString mixGridHeaderLine(HeaderUnit unit);
// The Mix grid's header after a Mix CSV file has been loaded.
QString mixGridLoadedFileHeaderLine();

// The usage note and circuit list the Mix grid shows at start: the comma-text source lines of
// rows 1 to 23, in order.
QStringList mixGridIntroLines();

} // namespace kelvos
