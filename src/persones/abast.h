#pragma once
// A person's reach: the part of the input's range they can cover with ease,
// mapped onto the whole surface. Positions are fractions of the input's own
// range (0 to 1 on each axis).
#include <array>
#include <optional>
#include <vector>

namespace brisola {

struct caixa_abast {
    double x0 = 0, y0 = 0, x1 = 1, y1 = 1;
    bool sencera() const { return x0 <= 0 && y0 <= 0 && x1 >= 1 && y1 >= 1; }
};

// A box narrower than this on either axis is taken for a person who did not move.
constexpr double abast_minim = 0.05;

// The box from the 2nd to the 98th percentile of the positions on each axis;
// none when it would be narrower than abast_minim.
std::optional<caixa_abast> calcula_abast(const std::vector<std::array<double, 2>>& posicions);

// Where a position within the box falls on the whole range; outside it, at its edge.
std::array<double, 2> aplica_abast(const caixa_abast& caixa, double x, double y);

} // namespace brisola
