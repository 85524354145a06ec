#pragma once

#include "GridTexts.h"

class TStringGridEx;
class TStrSortGrid;

namespace kelvos {

class TextGrid;

// Gives the Main grid its look and its ten column definitions, 12 rows.
void configureMainGrid(TStringGridEx& grid);
// Gives the Mix grid its look, 30 rows, both sort directions and a 10-pixel arrow spacing.
void configureMixGrid(TStrSortGrid& grid);
// The Mix grid at window creation: the kilometre header and the usage note in rows 1 to 23.
void fillMixGridIntro(TStrSortGrid& grid);

// Reset: empties every cell, restores ten columns when fewer than 12 (Main) or 6 (Mix) rows
// remain, sets 12 or 30 rows, scrolls to the top and writes the header line of the unit.
void resetMainGrid(TStringGridEx& grid, HeaderUnit unit);
void resetMixGrid(TStrSortGrid& grid, HeaderUnit unit);

} // namespace kelvos
