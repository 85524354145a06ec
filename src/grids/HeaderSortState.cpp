#include "HeaderSortState.h"

namespace kelvos {

std::optional<SortDirection> HeaderSortState::click(TSortops ops, int col,
                                                    const QString& headerText) {
    if (ops == soNon)
        return std::nullopt;
    sortColumn = col;
    sorted = true;
    capturedText = headerText;
    switch (ops) {
    case soUponly:
        ascending = true;
        break;
    case soDownOnly:
        ascending = false;
        break;
    default:
        ascending = !ascending;
        break;
    }
    return ascending ? SortDirection::Ascending : SortDirection::Descending;
}

} // namespace kelvos
