#include "SeriesData.h"

#include <algorithm>

namespace kelvos::chart {

void SeriesData::append(double y) {
    const int i = size();
    values_.push_back(y);
    if (i % kBlock == 0) {
        blocks_.emplace_back(i, i);
        return;
    }
    auto& [low, high] = blocks_.back();
    if (y < values_[low])
        low = i;
    if (y > values_[high])
        high = i;
}

void SeriesData::clear() {
    values_.clear();
    blocks_.clear();
}

void SeriesData::scan(int first, int end, int& low, int& high) const {
    for (int i = first; i < end; ++i) {
        if (values_[i] < values_[low])
            low = i;
        if (values_[i] > values_[high])
            high = i;
    }
}

std::pair<int, int> SeriesData::extremes(int first, int end) const {
    int low = first, high = first;
    const int firstWhole = (first + kBlock - 1) / kBlock, endWhole = end / kBlock;
    if (firstWhole >= endWhole) {
        scan(first, end, low, high);
        return {low, high};
    }
    scan(first, firstWhole * kBlock, low, high);
    for (int b = firstWhole; b < endWhole; ++b) {
        const auto [blockLow, blockHigh] = blocks_[b];
        if (values_[blockLow] < values_[low])
            low = blockLow;
        if (values_[blockHigh] > values_[high])
            high = blockHigh;
    }
    scan(endWhole * kBlock, end, low, high);
    return {low, high};
}

} // namespace kelvos::chart
