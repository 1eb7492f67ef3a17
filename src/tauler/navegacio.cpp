#include "tauler/navegacio.h"

namespace brisola {

navegacio::navegacio(std::vector<rajola> grups) {
    arrel_.t = rajola::tipus::grup;
    arrel_.fills = std::move(grups);
}

const std::vector<rajola>& navegacio::rajoles() const {
    const rajola* g = &arrel_;
    for (int i : cami_) g = &g->fills[size_t(i)];
    return g->fills;
}

bool navegacio::avanca() {
    if (++index_ < int(rajoles().size())) return true;
    index_ = 0;
    return ++voltes_ < voltes_sense_res;
}

void navegacio::seguent() { index_ = (index_ + 1) % int(rajoles().size()); }

const rajola* navegacio::tria(int index) {
    if (index < 0 || index >= int(rajoles().size())) return nullptr;
    const rajola& r = rajoles()[size_t(index)];
    voltes_ = 0;
    switch (r.t) {
    case rajola::tipus::grup:
        cami_.push_back(index);
        index_ = 0;
        return nullptr;
    case rajola::tipus::tornar:
        index_ = cami_.empty() ? 0 : cami_.back();
        if (!cami_.empty()) cami_.pop_back();
        return nullptr;
    default: return &r;
    }
}

} // namespace brisola
