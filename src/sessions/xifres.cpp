#include "sessions/xifres.h"

#include <algorithm>
#include <climits>

namespace brisola {

namespace {

constexpr int modalitat_bateria = 2; // the drums are the person's own notes there

void omple_mapa(const sessio& s, xifres& x) {
    for (size_t i = 0; i < s.punter.size(); ++i) {
        const int64_t fins = i + 1 < s.punter.size() ? s.punter[i + 1].ms : s.durada_ms;
        const auto& p = s.punter[i].per_mil;
        const int c = std::clamp(p[0] * xifres::columnes / 1000, 0, xifres::columnes - 1);
        const int f = std::clamp(p[1] * xifres::files / 1000, 0, xifres::files - 1);
        x.mapa[size_t(f)][size_t(c)] += std::max<int64_t>(fins - s.punter[i].ms, 1);
    }
    int visitades = 0;
    for (const auto& fila : x.mapa) visitades += int(std::count_if(fila.begin(), fila.end(), [](int64_t ms) { return ms > 0; }));
    x.abast = double(visitades) / (xifres::columnes * xifres::files);
}

// Notes are counted under the modality in force when they sounded.
void compta_modalitats(const sessio& s, xifres& x) {
    QString actual;
    int64_t des_de = 0;
    int index = -1;
    size_t m = 0;
    auto compta_notes_fins = [&](int64_t fins) {
        for (; m < s.midi.size() && s.midi[m].ms < fins; ++m) {
            const auto& n = s.midi[m];
            const bool nota = (n.estat & 0xf0) == 0x90 && n.dada2 > 0;
            if (nota && ((n.estat & 0x0f) != 9 || index == modalitat_bateria)) ++x.notes;
        }
    };
    for (const auto& t : s.tries) {
        if (t.clau != "modalitat") continue;
        compta_notes_fins(t.ms);
        if (!actual.isEmpty()) x.modalitats[actual] += t.ms - des_de;
        actual = nom_de_tria(t.valor);
        index = t.valor.section(' ', 0, 0).toInt();
        des_de = t.ms;
    }
    compta_notes_fins(INT64_MAX);
    if (!actual.isEmpty()) x.modalitats[actual] += s.durada_ms - des_de;
}

void compta_premses(const sessio& s, xifres& x) {
    int64_t premut = -1, total = 0;
    for (const auto& p : s.pulsador) {
        if (!p.acceptada) continue;
        if (p.premsa) {
            premut = p.ms;
            ++x.premses;
        } else if (premut >= 0) {
            total += p.ms - premut;
            premut = -1;
        }
    }
    x.premuda_s = x.premses ? double(total) / 1000.0 / x.premses : 0;
}

} // namespace

QString nom_de_tria(const QString& valor) { return valor.section(' ', 1); }

xifres xifres_de(const sessio& s) {
    xifres x;
    x.durada_ms = s.durada_ms;
    omple_mapa(s, x);
    compta_modalitats(s, x);
    x.notes_minut = s.durada_ms > 0 ? x.notes * 60000.0 / double(s.durada_ms) : 0;
    compta_premses(s, x);
    return x;
}

} // namespace brisola
