#include "taula_acords.h"

#include <initializer_list>
#include <vector>

namespace brisola {

namespace {

struct fila_acord {
    std::vector<const char*> codis;
    std::vector<int> notes; // empty for a note name
    int classe = 0;         // pitch class of a note name
};

// The fourth entries of "M#" and "Mb" are the B and B flat that the other lists
// hold at that place, so every item keeps its two characters.
const std::vector<fila_acord>& taula() {
    static const std::vector<fila_acord> files = {
        {{"BA"}, {57, 51, 56, 46, 41, 44, 38, 39, 59, 61, 70, 71, 81}},
        {{"Bm"}, {60, 64, 68, 72, 76}},
        {{"C_"}, {}, 0},
        {{"C#", "Db"}, {}, 1},
        {{"D_"}, {}, 2},
        {{"D#", "Eb"}, {}, 3},
        {{"E_"}, {}, 4},
        {{"F_"}, {}, 5},
        {{"F#", "Gb"}, {}, 6},
        {{"G_"}, {}, 7},
        {{"G#", "Ab"}, {}, 8},
        {{"A_"}, {}, 9},
        {{"A#", "Bb"}, {}, 10},
        {{"B_"}, {}, 11},
        {{"me"}, {60, 63, 67, 70, 72, 75, 79, 84, 87, 91, 94, 96}},
        {{"Ma", "R0"}, {60, 64, 67, 71, 72, 76, 79, 84, 88, 91, 95, 96}},
        {{"M#"}, {60, 64, 68, 71, 72, 75, 80, 84, 87, 92, 95, 96}},
        {{"Mb"}, {60, 63, 66, 70, 72, 75, 78, 84, 87, 90, 94, 96}},
        {{"M7", "R1"}, {60, 64, 67, 70, 72, 75, 79, 84, 87, 91, 94, 96}},
        {{"M6"}, {60, 64, 69, 71, 72, 75, 81, 84, 87, 93, 95, 96}},
        {{"m7"}, {60, 63, 70, 71, 72, 75, 82, 84, 87, 94, 95, 96}},
        {{"R2", "r1"}, {60, 64, 65, 66, 67, 70, 72}},
    };
    return files;
}

const fila_acord* troba(const QString& codi) {
    for (const auto& fila : taula())
        for (const char* c : fila.codis)
            if (codi == QLatin1String(c)) return &fila;
    return nullptr;
}

} // namespace

std::optional<QString> llista_acord(const QString& codi) {
    const fila_acord* fila = troba(codi);
    if (!fila) return std::nullopt;
    if (fila->notes.empty()) return " " + QString::number(fila->classe, 16).toUpper();
    QString llista;
    for (int nota : fila->notes) llista += QString::number(nota, 16).toUpper();
    return llista;
}

bool es_nom_de_nota(const QString& codi) {
    const fila_acord* fila = troba(codi);
    return fila && fila->notes.empty();
}

} // namespace brisola
