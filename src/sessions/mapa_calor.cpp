#include "sessions/mapa_calor.h"

#include <QPainter>

#include <algorithm>
#include <cmath>

namespace brisola {

mapa_calor::mapa_calor() {
    setMinimumSize(320, 180);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
}

void mapa_calor::set_mapa(const decltype(xifres::mapa)& mapa) {
    mapa_ = mapa;
    update();
}

void mapa_calor::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.fillRect(rect(), Qt::white);
    int64_t maxim = 1;
    for (const auto& fila : mapa_) maxim = std::max(maxim, *std::max_element(fila.begin(), fila.end()));
    const double amplada = double(width()) / xifres::columnes, alcada = double(height()) / xifres::files;
    for (int f = 0; f < xifres::files; ++f)
        for (int c = 0; c < xifres::columnes; ++c) {
            const int64_t ms = mapa_[size_t(f)][size_t(c)];
            if (ms == 0) continue;
            // A square root, so that a cell passed through still shows beside the one rested in.
            const double pes = std::sqrt(double(ms) / double(maxim));
            p.fillRect(QRectF(c * amplada, f * alcada, amplada, alcada),
                       QColor::fromHsvF(0.6 - 0.6 * pes, 0.9, 1.0 - 0.3 * pes));
        }
    p.setPen(Qt::gray);
    p.drawRect(rect().adjusted(0, 0, -1, -1));
}

} // namespace brisola
