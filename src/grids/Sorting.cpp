#include "Sorting.h"

#include "LapFacts.h"

#include <algorithm>
#include <numeric>
#include <utility>
#include <vector>

namespace kelvos {

namespace {

struct SortEntry {
    int row;
    QString key;
};

bool keyLess(const SortEntry& a, const SortEntry& b) {
    return compareCellText(a.key, b.key) < 0;
}

void bubbleSort(std::vector<SortEntry>& entries, qsizetype left, qsizetype right) {
    bool swapped = true;
    while (swapped) {
        swapped = false;
        for (qsizetype k = left; k < right; ++k) {
            if (keyLess(entries[k + 1], entries[k])) {
                std::swap(entries[k], entries[k + 1]);
                swapped = true;
            }
        }
    }
}

// Hoare-style partitioning around the middle key. The smaller part is sorted by recursion and
// the larger one by the loop, so the stack stays logarithmic even for adverse key orders; the
// parts are disjoint, so the result equals that of sorting both parts recursively.
void quickSort(std::vector<SortEntry>& entries, qsizetype left, qsizetype right) {
    while (right - left >= 5) {
        const QString pivot = entries[(left + right) / 2].key;
        qsizetype i = left;
        qsizetype j = right;
        while (i <= j) {
            while (compareCellText(entries[i].key, pivot) < 0)
                ++i;
            while (compareCellText(entries[j].key, pivot) > 0)
                --j;
            if (i <= j) {
                std::swap(entries[i], entries[j]);
                ++i;
                --j;
            }
        }
        if (j - left < right - i) {
            quickSort(entries, left, j);
            left = i;
        } else {
            quickSort(entries, i, right);
            right = j;
        }
    }
    if (left < right)
        bubbleSort(entries, left, right);
}

bool validRange(const CellStore& store, int col, int first, int last) {
    return col >= 0 && col < store.colCount() && first >= 0 && last < store.rowCount() &&
           first < last;
}

template <typename KeyOf>
std::vector<SortEntry> sortEntries(const CellStore& store, int col, int first, int last,
                                   KeyOf keyOf) {
    std::vector<SortEntry> entries;
    entries.reserve(std::size_t(last - first + 1));
    for (int r = first; r <= last; ++r)
        entries.push_back({r, keyOf(store.cell(col, r))});
    return entries;
}

std::vector<int> rowOrder(const std::vector<SortEntry>& entries) {
    std::vector<int> order;
    order.reserve(entries.size());
    for (const SortEntry& entry : entries)
        order.push_back(entry.row);
    return order;
}

template <typename KeyOf>
void quickSortRows(CellStore& store, int col, int first, int last, SortDirection direction,
                   KeyOf keyOf) {
    if (!validRange(store, col, first, last))
        return;
    std::vector<SortEntry> entries = sortEntries(store, col, first, last, keyOf);
    quickSort(entries, 0, qsizetype(entries.size()) - 1);
    std::vector<int> order = rowOrder(entries);
    if (direction == SortDirection::Descending)
        std::reverse(order.begin(), order.end());
    store.permuteRows(first, order);
}

} // namespace

int compareCellText(QStringView a, QStringView b) {
    return a.compare(b, Qt::CaseSensitive);
}

QString upperAsciiKey(QStringView text) {
    QString key = text.toString();
    for (QChar& c : key) {
        if (c >= u'a' && c <= u'z')
            c = QChar(c.unicode() - (u'a' - u'A'));
    }
    return key;
}

void headerSortRows(CellStore& store, int col, int first, int last, SortDirection direction) {
    quickSortRows(store, col, first, last, direction, upperAsciiKey);
}

void quickSortRowsByText(CellStore& store, int col, int first, int last) {
    quickSortRows(store, col, first, last, SortDirection::Ascending,
                  [](const QString& text) { return text; });
}

void stableSortRowsByText(CellStore& store, int col, int first, int last) {
    if (!validRange(store, col, first, last))
        return;
    std::vector<SortEntry> entries =
        sortEntries(store, col, first, last, [](const QString& text) { return text; });
    std::stable_sort(entries.begin(), entries.end(), keyLess);
    store.permuteRows(first, rowOrder(entries));
}

void lapTimeSort(CellStore& mainGrid) {
    quickSortRowsByText(mainGrid, int(LapColumn::LapTime), 1, mainGrid.rowCount() - 1);
}

void recordingOrderSort(CellStore& mainGrid) {
    quickSortRowsByText(mainGrid, int(LapColumn::Total), 1, mainGrid.rowCount() - 1);
}

void numberSort(CellStore& mixGrid, int col) {
    stableSortRowsByText(mixGrid, col, 1, mixGrid.rowCount() - 1);
}

} // namespace kelvos
