#include "tauler/repos.h"

#include <algorithm>

namespace brisola {

void repos::set_parametres(double segons, double tolerancia) {
    segons_ = std::max(0.05, segons);
    tolerancia_ = std::max(0.0, tolerancia);
}

bool repos::prop(const QRectF& r, const QPointF& p) const {
    return r.adjusted(-tolerancia_, -tolerancia_, tolerancia_, tolerancia_).contains(p);
}

void repos::reinicia() {
    objectiu_ = -1;
    progres_ = 0;
}

void repos::bloqueja(const QRectF& lloc) {
    // At least a pixel, so that a point is a place a pointer can stay in.
    bloqueig_ = lloc.normalized().united(QRectF(lloc.center() - QPointF(0.5, 0.5), QSizeF(1, 1)));
}

int repos::mira(const QPointF* punt, const std::vector<QRectF>& rajoles, double dt) {
    if (punt && bloqueig_ && !prop(*bloqueig_, *punt)) bloqueig_.reset();
    const bool valid = punt && !bloqueig_;
    if (valid && objectiu_ >= 0 && size_t(objectiu_) < rajoles.size() && prop(rajoles[size_t(objectiu_)], *punt)) {
        progres_ += dt / segons_;
    } else {
        progres_ = std::max(0.0, progres_ - dt / segons_);
        if (progres_ == 0) {
            objectiu_ = -1;
            for (size_t i = 0; valid && i < rajoles.size(); ++i)
                if (rajoles[i].contains(*punt)) objectiu_ = int(i);
        }
    }
    if (progres_ < 1) return -1;
    const int triada = objectiu_;
    bloqueig_ = rajoles[size_t(triada)];
    reinicia();
    return triada;
}

} // namespace brisola
