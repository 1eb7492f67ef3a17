#pragma once
// What a therapist reads of a session: where the pointer went (a heat map of
// the place as the person reached it, on cells of a sixteenth of the
// surface's width and a twelfth of its height), the share of cells visited,
// notes per minute, time in each modality, switch presses and how long they
// were held.
#include "sessions/sessio.h"

#include <array>
#include <map>

namespace brisola {

struct xifres {
    static constexpr int columnes = 16, files = 12;
    int64_t durada_ms = 0;
    std::array<std::array<int64_t, columnes>, files> mapa{}; // ms spent in each cell, top row first
    double abast = 0;       // share of the cells visited
    int notes = 0;          // the person's own notes
    double notes_minut = 0;
    std::map<QString, int64_t> modalitats; // ms in each modality, by its name
    int premses = 0;        // presses the surface got
    double premuda_s = 0;   // how long they were held, on average
};

xifres xifres_de(const sessio& s);

// The modality a choice's value names ("2 Bateria" → "Bateria").
QString nom_de_tria(const QString& valor);

} // namespace brisola
