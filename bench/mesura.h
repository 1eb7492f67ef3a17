#pragma once
// What the benchmarks share: the clock, percentiles of their measurements, and where sounds start.
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <time.h>
#include <vector>

namespace brisola {

// Now on the monotonic clock, in nanoseconds: the clock the synthesizer and PipeWire stamp with.
inline int64_t ara_ns() {
    timespec t{};
    clock_gettime(CLOCK_MONOTONIC, &t);
    return int64_t(t.tv_sec) * 1000000000 + t.tv_nsec;
}

// The value below which a share `p` (0 to 1) of the measurements lies.
inline double percentil(std::vector<double> v, double p) {
    if (v.empty()) return std::nan("");
    std::sort(v.begin(), v.end());
    return v[size_t(p * double(v.size() - 1))];
}

// Frames where a sound starts after at least 20 ms below a whisper: where it
// rose from that whisper on its way to being clearly heard.
inline std::vector<long> inicis(const std::vector<float>& s, long des_de, int freq) {
    std::vector<long> r;
    long silenci = 0, murmuri = des_de;
    for (long i = des_de; i < long(s.size()); ++i) {
        if (std::fabs(s[size_t(i)]) > 0.02f) {
            if (silenci > freq / 50) r.push_back(murmuri + 1);
            silenci = 0;
        } else if (std::fabs(s[size_t(i)]) < 0.002f) {
            ++silenci;
            murmuri = i;
        }
    }
    return r;
}

} // namespace brisola
