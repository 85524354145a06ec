#pragma once

#include <utility>
#include <vector>

namespace kelvos::chart {

// The Y values of a series (X = index) with the positions of the lowest and highest value of
// every block of kBlock points, kept as points are appended, so the extremes of any index
// range cost about two blocks plus one step per block in between.
class SeriesData {
public:
    static constexpr int kBlock = 64;

    void append(double y);
    void clear();
    int size() const { return int(values_.size()); }
    double operator[](int i) const { return values_[i]; }

    // The indices of the first lowest and first highest value in [first, end), first < end.
    std::pair<int, int> extremes(int first, int end) const;

private:
    void scan(int first, int end, int& low, int& high) const;

    std::vector<double> values_;
    std::vector<std::pair<int, int>> blocks_;
};

} // namespace kelvos::chart
