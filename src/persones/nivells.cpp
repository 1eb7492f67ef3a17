#include "persones/nivells.h"

#include <algorithm>
#include <cmath>

namespace brisola {

// A channel's factor never exceeds 1: an accompaniment above the person's
// notes raises the whole synthesizer and lowers the person's channels instead.
guanys_so guanys_de(int volum, int acompanyament, bool bateria_acompanya) {
    const double v = std::clamp(volum, 0, 100) / 100.0;
    const double a = std::pow(10.0, std::clamp(acompanyament, -24, 6) / 20.0);
    guanys_so g;
    g.cancons = v * a;
    if (!bateria_acompanya) {
        g.sintetitzador = v;
        return g;
    }
    g.sintetitzador = v * std::max(1.0, a);
    g.canals.fill(std::min(1.0, 1.0 / a));
    g.canals[canal_bateria] = std::min(1.0, a);
    return g;
}

} // namespace brisola
