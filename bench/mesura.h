#pragma once
// What the benchmarks share: percentiles of their measurements.
#include <algorithm>
#include <cmath>
#include <vector>

namespace brisola {

// The value below which a share `p` (0 to 1) of the measurements lies.
inline double percentil(std::vector<double> v, double p) {
    if (v.empty()) return std::nan("");
    std::sort(v.begin(), v.end());
    return v[size_t(p * double(v.size() - 1))];
}

} // namespace brisola
