#pragma once

#include "Sorting.h"

#include <QString>
#include <optional>

// Which header clicks sort, and in which direction.
enum TSortops { soBoth, soUponly, soDownOnly, soNon };

namespace kelvos {

// The header-click sort state of one sortable grid. One ascending flag serves all columns, so
// with soBoth every click flips the direction whichever column is clicked.
struct HeaderSortState {
    int sortColumn = 0;
    bool sorted = false;
    QString capturedText;
    bool ascending = true;

    // Records a click on header cell col holding headerText and returns the direction to sort
    // in; nothing when ops is soNon (the click is ignored).
    std::optional<SortDirection> click(TSortops ops, int col, const QString& headerText);

    // The arrow is shown beside the captured text of the sorted column, if there is a text.
    bool showsIndicator(int col) const {
        return sorted && col == sortColumn && !capturedText.isEmpty();
    }
};

} // namespace kelvos
