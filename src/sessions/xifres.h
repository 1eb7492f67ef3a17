#pragma once
// What a therapist reads of a session: where the pointer went (a heat map of
// the place as the person reached it, on cells of a sixteenth of the
// surface's width and a twelfth of its height), the share of cells visited,
// notes per minute, time with each modality, access method and instrument,
// switch presses and how long they were held.
#include "sessions/sessio.h"

#include <array>
#include <map>

namespace brisola {

// How long a choice was in force, and the caption the journal kept for it.
struct temps_tria {
    QString nom;
    int64_t ms = 0;
};
using temps_tries = std::map<int, temps_tria>; // by the choice's index in its menu

struct xifres {
    static constexpr int columnes = 16, files = 12;
    int64_t durada_ms = 0;
    std::array<std::array<int64_t, columnes>, files> mapa{}; // ms spent in each cell, top row first
    double abast = 0;       // share of the cells visited
    int notes = 0;          // the person's own notes
    double notes_minut = 0;
    temps_tries modalitats, acces, instruments;
    int premses = 0;        // presses the surface got
    double premuda_s = 0;   // how long they were held, on average
};

xifres xifres_de(const sessio& s);

// A choice's value: "2 Bateria" → 2 and "Bateria" (-1 and the whole when it has no index).
int index_de_tria(const QString& valor);
QString nom_de_tria(const QString& valor);

} // namespace brisola
