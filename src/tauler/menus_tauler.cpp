#include "tauler/menus_tauler.h"

#include "app/finestra_main.h"
#include "persones/textos.h"

#include <QAction>
#include <QMenu>

namespace brisola {

namespace {

enum : int { t_modalitat, t_instrument, t_velocitat, t_persona, t_acces, t_tocar, t_tornar };
const textos taula[] = {
    {"Modalitat", "Modalidad", "Modalidade"},
    {"Instrument", "Instrumento", "Instrumento"},
    {"Velocitat", "Velocidad", "Velocidade"},
    {"Persona", "Persona", "Persoa"},
    {"Accés", "Acceso", "Acceso"},
    {"Tornar a tocar", "Volver a tocar", "Volver tocar"},
    {"Tornar", "Volver", "Volver"},
};

constexpr int tempo_normal = 400;

// The items of a menu a person can choose now, from `des_de`; `marcada` says which carries the mark.
std::vector<rajola> accions(const menu_array& m, int des_de, const std::function<bool(int)>& marcada = {}) {
    std::vector<rajola> r;
    for (int i = des_de; i < m.size(); ++i) {
        if (!m[i]->isVisible() || !m[i]->isEnabled()) continue;
        r.push_back(de_l_accio(m[i]));
        if (marcada) r.back().marcada = marcada(i);
    }
    return r;
}

// A rhythm or a song is chosen as from the menu: its submenu's opening (the seed's own handler) first.
std::vector<rajola> modalitats(finestra_main& w, const QString& tornar) {
    std::vector<rajola> r;
    for (int i = 0; i < 3; ++i)
        if (w.fmus[i]->isVisible() && w.fmus[i]->isEnabled()) r.push_back(de_l_accio(w.fmus[i]));
    for (int submenu : {3, 4}) {
        auto obre_submenu = [&w, submenu] { emit w.fmus[submenu]->menu()->aboutToShow(); };
        std::vector<rajola> items;
        const menu_array& m = submenu == 3 ? w.rmus : w.CMUS;
        for (int i = 1; i < m.size(); ++i)
            if (m[i]->isVisible()) items.push_back(de_l_accio(m[i], obre_submenu));
        afegeix_grup(r, de_l_accio(w.fmus[submenu]).text, std::move(items), tornar);
    }
    return r;
}

} // namespace

std::vector<rajola> rajoles_dels_menus(finestra_main& w, QMenu* persones, int instrument) {
    auto t = [&](int i) { return tradueix(taula[i], w.estat.idioma); };
    const QString tornar = t(t_tornar);
    std::vector<rajola> grups;
    afegeix_grup(grups, t(t_modalitat), modalitats(w, tornar), tornar);
    afegeix_grup(grups, t(t_instrument), accions(w.mn_instrument, 1, [&](int i) { return i == instrument; }), tornar);
    // A speed is a step from the last: the mark says whether the tempo is slower, normal or faster.
    const int tempo = w.estat.tempo;
    afegeix_grup(grups, t(t_velocitat), accions(w.mn_ritme, 0, [&](int i) {
                     return i == (tempo > tempo_normal ? 0 : tempo == tempo_normal ? 1 : 2);
                 }), tornar);
    grups.push_back(de_l_accio(w.mn_inst[2])); // Fer silenci
    std::vector<rajola> gent;
    if (persones)
        for (QAction* a : persones->actions())
            if (a->isCheckable()) gent.push_back(de_l_accio(a));
    afegeix_grup(grups, t(t_persona), std::move(gent), tornar);
    afegeix_grup(grups, t(t_acces), accions(w.mn_acces, 0), tornar);
    rajola tocar;
    tocar.t = rajola::tipus::tanca;
    tocar.text = t(t_tocar);
    grups.push_back(tocar);
    return grups;
}

} // namespace brisola
