#include "persones/interruptor.h"

#include "platform/temporitzador.h"

#include <utility>

namespace brisola {

interruptor::interruptor(rellotge& r, avisos a)
    : r_(r), avisos_(std::move(a)), espera_(r.crea()), solta_(r.crea()) {
    espera_->on_tick([this] { accepta(); });
    solta_->set_Interval(repeticio_ms);
    solta_->on_tick([this] { acaba(); });
}

interruptor::~interruptor() = default;

void interruptor::set_temps(int acceptacio, int ignora) {
    acceptacio_ = acceptacio;
    ignora_ = ignora;
}

void interruptor::premsa(int tecla) {
    if (tecla_ != 0) {
        if (tecla != tecla_ || soltada_a_ < 0) return; // another key brushed during the hold
        // The key repeats: the switch was never let go.
        solta_->set_Enabled(false);
        soltada_a_ = -1;
        if (std::exchange(madura_, false)) accepta();
        return;
    }
    if ((r_.segons() - darrer_alliberament_) * 1000 < ignora_) return;
    tecla_ = tecla;
    ++premses_;
    if (acceptacio_ == 0) return accepta();
    espera_->set_Interval(acceptacio_);
    espera_->set_Enabled(true);
}

void interruptor::alliberament(int tecla) {
    if (tecla != tecla_ || soltada_a_ >= 0) return;
    // Let go only if no press of the same key follows at once.
    soltada_a_ = r_.segons();
    solta_->set_Enabled(true);
}

void interruptor::adopta(int tecla) {
    reinicia();
    tecla_ = tecla;
    acceptada_ = true;
}

void interruptor::reinicia() {
    espera_->set_Enabled(false);
    solta_->set_Enabled(false);
    tecla_ = 0;
    acceptada_ = madura_ = false;
    soltada_a_ = -1;
}

void interruptor::accepta() {
    espera_->set_Enabled(false);
    if (soltada_a_ >= 0) {
        madura_ = true;
        return;
    }
    acceptada_ = true;
    if (avisos_.premsa) avisos_.premsa(tecla_);
}

void interruptor::acaba() {
    const bool comptava = acceptada_;
    const int tecla = tecla_;
    const double soltada_a = soltada_a_;
    reinicia();
    if (!comptava) return;
    darrer_alliberament_ = soltada_a;
    if (avisos_.alliberament) avisos_.alliberament(tecla);
}

} // namespace brisola
