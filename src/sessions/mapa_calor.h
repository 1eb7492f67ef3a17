#pragma once
// Where on the surface the pointer went: each cell's shade is its share of the
// time, the busiest cell darkest; cells never visited stay blank. Drawn in the
// surface's own proportions, within its outline, so that it reads as the
// surface; the shades darken steadily, so that it also reads printed in grey.
#include "sessions/xifres.h"

#include <QWidget>

class QPainter;

namespace brisola {

using mapa_caselles = decltype(xifres::mapa);

// The map within `lloc`, as large as the surface's proportions allow; the rectangle it took.
QRectF pinta_mapa(QPainter& p, const QRectF& lloc, const mapa_caselles& mapa);
// The shades' scale within `lloc`, left to right, its ends and middle in seconds.
void pinta_escala(QPainter& p, const QRectF& lloc, const mapa_caselles& mapa);
// A cell's shade for its share of the busiest cell's time (0 to 1).
QColor color_de(double pes);

class mapa_calor : public QWidget {
public:
    mapa_calor();
    void set_mapa(const mapa_caselles& mapa);

protected:
    void paintEvent(QPaintEvent*) override;

private:
    mapa_caselles mapa_{};
};

} // namespace brisola
