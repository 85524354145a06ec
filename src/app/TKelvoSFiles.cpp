// CSV files of both grids and the clipboard exchange of the Mix grid's laps.
#include "TKelvoS.h"

void TKelvoS::connectFileHandlers() {}

void TKelvoS::writeAutomaticMixFile() {}
