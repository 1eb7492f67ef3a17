#pragma once
// The report as a document a therapist can hand on: the person and the dates
// covered, each session's figures with their units, the heat map of the
// session chosen with its scale, and the trends, on A4 pages that read
// printed in black and white.
#include "sessions/grafics_sessions.h"
#include "sessions/mapa_calor.h"

#include <QStringList>

class QPdfWriter;

namespace brisola {

struct dades_informe {
    QString titol, periode;
    QStringList capcaleres;         // the figures' names, with their units
    std::vector<QStringList> files; // a session a row
    QString titol_mapa, xifres_mapa; // the session the map is of, and its figures
    mapa_caselles mapa{};
    QString titol_tendencies;
    std::vector<serie_tendencia> series;
};

// False when the pages could not be drawn.
bool pinta_informe(QPdfWriter& escriptor, const dades_informe& d);

} // namespace brisola
