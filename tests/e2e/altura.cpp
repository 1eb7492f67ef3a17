// Reads a stretch of 48 kHz stereo float audio written by SDL's disk driver
// and prints its loudness, its pitch and the period of its loudness:
// "rms <level> hz <frequency> ms <period>".
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <vector>

namespace {

constexpr double freq_mostreig = 48000;

std::vector<double> mono(const char* cami, long inici, long fi) {
    std::ifstream f(cami, std::ios::binary);
    f.seekg(inici);
    std::vector<float> estereo(size_t(std::max(0L, fi - inici)) / sizeof(float));
    f.read(reinterpret_cast<char*>(estereo.data()), std::streamsize(estereo.size() * sizeof(float)));
    estereo.resize(size_t(f.gcount()) / sizeof(float));
    std::vector<double> m(estereo.size() / 2);
    for (size_t i = 0; i < m.size(); ++i) m[i] = (estereo[2 * i] + estereo[2 * i + 1]) / 2;
    return m;
}

// The first lag whose normalised autocorrelation comes near the best one:
// taking the first such peak avoids answering with a multiple of the period.
double altura(const std::vector<double>& s) {
    const size_t min_lag = size_t(freq_mostreig / 2000), max_lag = size_t(freq_mostreig / 30);
    if (s.size() < 2 * max_lag) return 0;
    const size_t n = s.size() - max_lag;
    std::vector<double> r(max_lag + 1, 0);
    for (size_t lag = min_lag; lag <= max_lag; ++lag) {
        double suma = 0, e0 = 0, e1 = 0;
        for (size_t i = 0; i < n; ++i) {
            suma += s[i] * s[i + lag];
            e0 += s[i] * s[i];
            e1 += s[i + lag] * s[i + lag];
        }
        r[lag] = e0 > 0 && e1 > 0 ? suma / std::sqrt(e0 * e1) : 0;
    }
    double millor = 0;
    for (size_t lag = min_lag; lag <= max_lag; ++lag) millor = std::max(millor, r[lag]);
    if (millor <= 0) return 0;
    for (size_t lag = min_lag + 1; lag < max_lag; ++lag)
        if (r[lag] >= 0.9 * millor && r[lag] >= r[lag - 1] && r[lag] >= r[lag + 1]) return freq_mostreig / lag;
    return 0;
}

// The period of the loudness envelope (5 ms frames) between 150 ms and 3 s: the
// shortest lag that repeats it as well as the best one does, which for a drum
// pattern is its bar. Each lag's sum is divided by the whole length, not by its
// own number of pairs: a lag of two bars, resting on half the pairs, would
// otherwise often match as well as one bar whose length falls between frames.
double pols(const std::vector<double>& s) {
    const size_t trama = size_t(freq_mostreig / 200);
    std::vector<double> envolupant;
    for (size_t i = 0; i + trama <= s.size(); i += trama) {
        double e = 0;
        for (size_t j = i; j < i + trama; ++j) e += s[j] * s[j];
        envolupant.push_back(std::sqrt(e / trama));
    }
    const size_t min_lag = 30, max_lag = 600;
    if (envolupant.size() < max_lag + 100) return 0;
    double mitjana = 0;
    for (double e : envolupant) mitjana += e / envolupant.size();
    for (double& e : envolupant) e -= mitjana;
    std::vector<double> r(max_lag + 1, 0);
    double millor = 0;
    for (size_t lag = min_lag; lag <= max_lag; ++lag) {
        double suma = 0;
        for (size_t i = 0; i + lag < envolupant.size(); ++i) suma += envolupant[i] * envolupant[i + lag];
        r[lag] = suma / double(envolupant.size());
        millor = std::max(millor, r[lag]);
    }
    for (size_t lag = min_lag; lag <= max_lag; ++lag)
        if (millor > 0 && r[lag] >= 0.95 * millor) return lag * 5.0;
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 4) {
        std::fprintf(stderr, "usage: %s file.raw first_byte end_byte\n", argv[0]);
        return 2;
    }
    auto s = mono(argv[1], std::atol(argv[2]), std::atol(argv[3]));
    double energia = 0;
    for (double v : s) energia += v * v;
    std::printf("rms %.6f hz %.1f ms %.0f\n", s.empty() ? 0 : std::sqrt(energia / s.size()), altura(s), pols(s));
}
