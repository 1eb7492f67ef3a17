#pragma once
// Where on the surface the pointer went: each cell's shade is its share of the
// time, the busiest cell darkest; cells never visited stay blank.
#include "sessions/xifres.h"

#include <QWidget>

namespace brisola {

class mapa_calor : public QWidget {
public:
    mapa_calor();
    void set_mapa(const decltype(xifres::mapa)& mapa);

protected:
    void paintEvent(QPaintEvent*) override;

private:
    decltype(xifres::mapa) mapa_{};
};

} // namespace brisola
