#pragma once

#include "CellStore.h"

#include <QString>
#include <QStringView>

namespace kelvos {

// Cell texts compare as unsigned UTF-16 code units, shorter prefix first, so the empty text is
// the smallest and "10" sorts before "9". Code units are what the cells hold, so no key is
// converted; the order equals that of the UTF-8 bytes for every text outside the planes
// beyond U+FFFF, and for ASCII it is exactly the byte order.
int compareCellText(QStringView a, QStringView b);

// Upper-cases the ASCII letters a to z only, as the header-click sort does.
QString upperAsciiKey(QStringView text);

enum class SortDirection { Ascending, Descending };

// Header-click sort of rows first … last by column col: ASCII-upper-cased keys, quicksort with
// a bubble-sort fallback for short ranges (not stable). Descending writes the rows in exactly
// the reverse of the ascending result, ties included.
void headerSortRows(CellStore& store, int col, int first, int last, SortDirection direction);

// The same quicksort without upper-casing, ascending; rows with equal keys end in no defined
// order.
void quickSortRowsByText(CellStore& store, int col, int first, int last);

// Stable ascending sort by the text of column col; rows with equal keys keep their order.
void stableSortRowsByText(CellStore& store, int col, int first, int last);

// The Main grid's column 3 ("LAPtime") sort: laps by lap time, empty rows first.
void lapTimeSort(CellStore& mainGrid);
// The Main grid's column 2 ("Total") sort: back into the order the laps were taken.
void recordingOrderSort(CellStore& mainGrid);
// The Mix grid's number sort by column col: laps grouped by that text, each group in its
// previous order. Does nothing without a data row.
void numberSort(CellStore& mixGrid, int col);

} // namespace kelvos
