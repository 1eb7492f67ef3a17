#include "tauler/pulsador_tauler.h"

#include "persones/interruptor.h"
#include "platform/temporitzador.h"

#include <utility>

namespace brisola {

pulsador_tauler::pulsador_tauler(rellotge& r, tauler_escombrat& t)
    : rellotge_(r), tauler_(t), escombrat_(r.crea()), premuda_(r.crea()) {
    escombrat_->on_tick([this] { pas(); });
    premuda_->on_tick([this] {
        premuda_->set_Enabled(false);
        if (!premut_ || tauler_.obert()) return; // let go, and not pressed again at once
        premsa_del_tauler_ = true; // the instrument is let go as the board opens: the release is the board's
        tauler_.obre();
    });
}

pulsador_tauler::~pulsador_tauler() = default;

void pulsador_tauler::set_temps(const temps& t, bool escombra) {
    temps_ = t;
    escombrat_->set_Interval(t.escombrat);
    escombrat_->set_Enabled(escombra);
}

void pulsador_tauler::reinicia_escombrat() {
    if (!escombrat_->Enabled()) return;
    escombrat_->set_Enabled(false);
    escombrat_->set_Enabled(true);
}

// While a press waits to count, the highlight stays on the tile it began on, and the board stays open for it.
void pulsador_tauler::pas() {
    if (!tauler_.premsa_en_espera()) tauler_.avanca();
}

bool pulsador_tauler::tecla_seguent(bool premsa) {
    if (premsa && tauler_.obert()) tauler_.seguent();
    return true; // the "next" key never plays
}

bool pulsador_tauler::intercepta(bool premsa, int tecla) {
    if (tecla != 0 && tecla == temps_.tecla_seguent) return tecla_seguent(premsa);
    const double ara = rellotge_.segons();
    premut_ = premsa;
    if (!premsa) {
        alliberat_a_ = ara;
        alliberament_del_tauler_ = std::exchange(premsa_del_tauler_, false) || tauler_.obert();
        return alliberament_del_tauler_;
    }
    // A key held down can come as a release and a press at once (the keyboard's repeat): the same press goes on.
    if ((ara - alliberat_a_) * 1000 < interruptor::repeticio_ms) return premsa_del_tauler_ = alliberament_del_tauler_;
    if (!tauler_.obert()) {
        // The hold's clock starts at a press; a release leaves it to find the switch up.
        if (temps_.obertura > 0) {
            premuda_->set_Interval(temps_.obertura);
            premuda_->set_Enabled(true);
        }
        return false;
    }
    premsa_del_tauler_ = true;
    tauler_.prem();
    return true;
}

} // namespace brisola
