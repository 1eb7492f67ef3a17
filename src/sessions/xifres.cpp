#include "sessions/xifres.h"

#include <algorithm>

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

temps_tries temps_de(const sessio& s, const QString& clau) {
    temps_tries temps;
    temps_tria* actual = nullptr;
    int64_t des_de = 0;
    for (const auto& t : s.tries) {
        if (t.clau != clau) continue;
        if (actual) actual->ms += t.ms - des_de;
        actual = &temps[index_de_tria(t.valor)];
        actual->nom = nom_de_tria(t.valor);
        des_de = t.ms;
    }
    if (actual) actual->ms += s.durada_ms - des_de;
    return temps;
}

// Notes are counted under the modality in force when they sounded.
void compta_notes(const sessio& s, xifres& x) {
    int modalitat = -1;
    auto tria = s.tries.begin();
    for (const auto& n : s.midi) {
        for (; tria != s.tries.end() && tria->ms <= n.ms; ++tria)
            if (tria->clau == "modalitat") modalitat = index_de_tria(tria->valor);
        const bool nota = (n.estat & 0xf0) == 0x90 && n.dada2 > 0;
        if (nota && ((n.estat & 0x0f) != 9 || modalitat == modalitat_bateria)) ++x.notes;
    }
}

void compta_premses(const sessio& s, xifres& x) {
    std::optional<int64_t> premut; // a release with no press in the session (held from before) counts nothing
    int64_t total = 0;
    for (const auto& p : s.pulsador) {
        if (!p.acceptada) continue;
        if (p.premsa) {
            premut = p.ms;
            ++x.premses;
        } else if (premut) {
            total += p.ms - *premut;
            premut.reset();
        }
    }
    x.premuda_s = x.premses ? double(total) / 1000.0 / x.premses : 0;
}

} // namespace

int index_de_tria(const QString& valor) {
    bool es_nombre = false;
    const int index = valor.section(' ', 0, 0).toInt(&es_nombre);
    return es_nombre ? index : -1;
}

QString nom_de_tria(const QString& valor) {
    return (index_de_tria(valor) < 0 ? valor : valor.section(' ', 1)).trimmed();
}

xifres xifres_de(const sessio& s) {
    xifres x;
    x.durada_ms = s.durada_ms;
    omple_mapa(s, x);
    x.modalitats = temps_de(s, "modalitat");
    x.acces = temps_de(s, "acces");
    x.instruments = temps_de(s, "instrument");
    compta_notes(s, x);
    x.notes_minut = s.durada_ms > 0 ? x.notes * 60000.0 / double(s.durada_ms) : 0;
    compta_premses(s, x);
    return x;
}

} // namespace brisola
