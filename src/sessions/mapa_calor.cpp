#include "sessions/mapa_calor.h"

#include <QLinearGradient>
#include <QPainter>

#include <algorithm>
#include <cmath>

namespace brisola {

namespace {

// The surface is 640 by 480: its cells are square.
constexpr double proporcio = double(xifres::columnes) / xifres::files;
constexpr int alcada_escala = 24;

int64_t maxim_de(const mapa_caselles& mapa) {
    int64_t maxim = 0;
    for (const auto& fila : mapa) maxim = std::max(maxim, *std::max_element(fila.begin(), fila.end()));
    return maxim;
}

// A square root, so that a cell passed through still shows beside the one rested in.
double pes_de(int64_t ms, int64_t maxim) { return maxim > 0 ? std::sqrt(double(ms) / double(maxim)) : 0; }

QString segons(double ms) { return QString::number(ms / 1000.0, 'f', ms < 10000 ? 1 : 0) + " s"; }

} // namespace

QColor color_de(double pes) {
    // Pale yellow, orange, dark purple: each step darker than the one before.
    const QColor tons[] = {QColor(255, 245, 190), QColor(235, 110, 35), QColor(45, 0, 50)};
    const double x = std::clamp(pes, 0.0, 1.0) * 2;
    const int i = std::min(int(x), 1);
    const double f = x - i;
    auto barreja = [&](int a, int b) { return int(std::lround(a + (b - a) * f)); };
    return QColor(barreja(tons[i].red(), tons[i + 1].red()), barreja(tons[i].green(), tons[i + 1].green()),
                  barreja(tons[i].blue(), tons[i + 1].blue()));
}

QRectF pinta_mapa(QPainter& p, const QRectF& lloc, const mapa_caselles& mapa) {
    QSizeF mida(lloc.width(), lloc.width() / proporcio);
    if (mida.height() > lloc.height()) mida = QSizeF(lloc.height() * proporcio, lloc.height());
    const QRectF superficie(lloc.center() - QPointF(mida.width() / 2, mida.height() / 2), mida);
    p.fillRect(superficie, Qt::white);
    const int64_t maxim = maxim_de(mapa);
    const double costat = superficie.width() / xifres::columnes;
    for (int f = 0; f < xifres::files; ++f)
        for (int c = 0; c < xifres::columnes; ++c)
            if (const int64_t ms = mapa[size_t(f)][size_t(c)]; ms > 0)
                p.fillRect(QRectF(superficie.left() + c * costat, superficie.top() + f * costat, costat, costat),
                           color_de(pes_de(ms, maxim)));
    p.setPen(QPen(Qt::black, std::max(1.0, costat / 20)));
    p.setBrush(Qt::NoBrush);
    p.drawRect(superficie);
    return superficie;
}

void pinta_escala(QPainter& p, const QRectF& lloc, const mapa_caselles& mapa) {
    const int64_t maxim = maxim_de(mapa);
    const QRectF barra(lloc.left(), lloc.top(), lloc.width(), lloc.height() / 2);
    QLinearGradient gradient(barra.topLeft(), barra.topRight());
    for (double pes : {0.0, 0.25, 0.5, 0.75, 1.0}) gradient.setColorAt(pes, color_de(pes));
    p.fillRect(barra, gradient);
    p.setPen(Qt::black);
    p.setBrush(Qt::NoBrush);
    p.drawRect(barra);
    const QRectF textos(lloc.left(), barra.bottom(), lloc.width(), lloc.height() / 2);
    // The shade follows the square root of the time: its middle is a quarter of the busiest cell's.
    p.drawText(textos, Qt::AlignLeft | Qt::AlignVCenter, segons(0));
    p.drawText(textos, Qt::AlignHCenter | Qt::AlignVCenter, segons(double(maxim) / 4));
    p.drawText(textos, Qt::AlignRight | Qt::AlignVCenter, segons(double(maxim)));
}

mapa_calor::mapa_calor() {
    setMinimumSize(320, 240 + alcada_escala);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
}

void mapa_calor::set_mapa(const mapa_caselles& mapa) {
    mapa_ = mapa;
    update();
}

void mapa_calor::paintEvent(QPaintEvent*) {
    QPainter p(this);
    const QRectF tot = rect();
    const QRectF superficie = pinta_mapa(p, tot.adjusted(1, 1, -1, -1 - alcada_escala - 4), mapa_);
    pinta_escala(p, QRectF(superficie.left(), superficie.bottom() + 4, superficie.width(), alcada_escala), mapa_);
}

} // namespace brisola
