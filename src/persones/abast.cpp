#include "persones/abast.h"

#include <algorithm>
#include <cmath>

namespace brisola {

namespace {

// The value below which a share `p` of the values lies, between neighbours.
double percentil(std::vector<double> v, double p) {
    std::sort(v.begin(), v.end());
    const double lloc = p * double(v.size() - 1);
    const size_t i = size_t(std::floor(lloc));
    const size_t j = std::min(i + 1, v.size() - 1);
    return v[i] + (v[j] - v[i]) * (lloc - double(i));
}

double sobre_el_rang(double v, double inici, double fi) {
    return std::clamp((v - inici) / (fi - inici), 0.0, 1.0);
}

} // namespace

std::optional<caixa_abast> calcula_abast(const std::vector<std::array<double, 2>>& posicions) {
    if (posicions.empty()) return std::nullopt;
    std::vector<double> xs, ys;
    for (const auto& p : posicions) {
        xs.push_back(std::clamp(p[0], 0.0, 1.0));
        ys.push_back(std::clamp(p[1], 0.0, 1.0));
    }
    caixa_abast c{percentil(xs, 0.02), percentil(ys, 0.02), percentil(xs, 0.98), percentil(ys, 0.98)};
    if (c.x1 - c.x0 < abast_minim || c.y1 - c.y0 < abast_minim) return std::nullopt;
    return c;
}

std::array<double, 2> aplica_abast(const caixa_abast& c, double x, double y) {
    if (c.sencera()) return {x, y};
    return {sobre_el_rang(x, c.x0, c.x1), sobre_el_rang(y, c.y0, c.y1)};
}

} // namespace brisola
