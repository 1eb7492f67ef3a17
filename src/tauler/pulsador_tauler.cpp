#include "tauler/pulsador_tauler.h"

#include "platform/temporitzador.h"

namespace brisola {

namespace {

constexpr double repeticio_s = 0.03; // a release and a press closer than this are one held key
constexpr double acceptacio_maxima_s = 1; // the longest a press can wait in the switch stage

} // namespace

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
    if (!escombra) passos_.clear();
}

void pulsador_tauler::reinicia_escombrat() {
    passos_.clear();
    if (!escombrat_->Enabled()) return;
    escombrat_->set_Enabled(false);
    escombrat_->set_Enabled(true);
}

void pulsador_tauler::pas() {
    const double ara = rellotge_.segons();
    while (!passos_.empty() && ara - passos_.front().first > acceptacio_maxima_s) passos_.pop_front();
    passos_.emplace_back(ara, tauler_.ressaltada());
    tauler_.avanca();
}

// A press reaches the board once the acceptance time has passed: the tile is the one highlighted as it began.
int pulsador_tauler::ressaltada_a(double segons) const {
    for (const auto& [quan, abans] : passos_)
        if (quan > segons) return abans;
    return tauler_.ressaltada();
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
    if (ara - alliberat_a_ < repeticio_s) return premsa_del_tauler_ = alliberament_del_tauler_;
    if (!tauler_.obert()) {
        // The hold's clock starts at a press; a release leaves it to find the switch up.
        if (temps_.obertura > 0) {
            premuda_->set_Interval(temps_.obertura);
            premuda_->set_Enabled(true);
        }
        return false;
    }
    premsa_del_tauler_ = true;
    const int triada = ressaltada_a(ara - temps_.acceptacio / 1000.0);
    passos_.clear();
    tauler_.prem(triada);
    return true;
}

} // namespace brisola
