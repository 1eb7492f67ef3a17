#include "persones/ajustos_persona.h"

#include "app/finestra_main.h"
#include "persones/etapa_punter.h"
#include "persones/nivells.h"

#include <QMenuBar>

namespace brisola {

ajustos_persona::ajustos_persona(finestra_main& w, etapa_punter* punter, volum_sistema* volum)
    : w_(w), punter_(punter), volum_(volum), pulsador_(w), capa_(w) {
    // A modality chosen makes the drums the person's own or the accompaniment's:
    // looked at once the seed's handler has run.
    connect(w_.menuBar(), &QMenuBar::triggered, this, [this] { aplica_nivells(); }, Qt::QueuedConnection);
}

void ajustos_persona::aplica(const ajuts& a) {
    valors_ = a;
    pulsador_.set_temps(a.acceptacio, a.ignora);
    pulsador_.set_tecla_seguent(a.tecla_seguent);
    if (punter_) {
        parametres_suavitzat p = parametres_de(nivell_suavitzat(a.suavitzat));
        p.fc_minima = a.suavitzat_fc / 100.0;
        p.beta = a.suavitzat_beta / 1e6;
        punter_->set_suavitzat(p);
        punter_->set_abast({a.abast_x0 / 1000.0, a.abast_y0 / 1000.0, a.abast_x1 / 1000.0, a.abast_y1 / 1000.0});
    }
    capa_.set_cursor_contrast(a.cursor_contrast);
    capa_.set_graella(a.graella);
    aplica_nivells();
    if (avis_) avis_();
}

void ajustos_persona::aplica_nivells() {
    if (volum_) volum_->set_guanys(guanys_de(valors_.volum, valors_.acompanyament, !w_.fmus.Checked(2)));
}

} // namespace brisola
