#include "persones/mesura_abast.h"

#include "platform/temporitzador.h"

#include <cmath>

namespace brisola {

mesura_abast::mesura_abast(rellotge& temps, std::function<punt()> cru,
                           std::function<void(std::optional<caixa_abast>, int)> mostra,
                           std::function<void(std::optional<caixa_abast>)> fet)
    : temps_(temps), mostreig_(temps.crea()), cru_(std::move(cru)), mostra_(std::move(mostra)), fet_(std::move(fet)) {
    mostreig_->set_Interval(periode_ms);
    mostreig_->on_tick([this] { mostreja(); });
}

mesura_abast::~mesura_abast() = default;

bool mesura_abast::en_marxa() const { return mostreig_->Enabled(); }

void mesura_abast::comenca() {
    posicions_.clear();
    abans_ = cru_();
    inici_ = temps_.segons();
    mostreig_->set_Enabled(true);
    mostra_(std::nullopt, durada_s);
}

void mesura_abast::atura() {
    if (!en_marxa()) return;
    mostreig_->set_Enabled(false);
    mostra_(std::nullopt, 0);
    fet_(std::nullopt);
}

void mesura_abast::mostreja() {
    // The place the pointer had before the measure is no place reached: it counts from the first move.
    if (punt p = cru_(); p && (!abans_ || *p != *abans_)) {
        posicions_.push_back(*p);
        abans_.reset();
    }
    const double passat = temps_.segons() - inici_;
    if (passat < durada_s) {
        return mostra_(calcula_abast(posicions_), int(std::ceil(durada_s - passat)));
    }
    mostreig_->set_Enabled(false);
    mostra_(std::nullopt, 0);
    fet_(calcula_abast(posicions_));
}

caixa_abast a_la_superficie(const caixa_abast& c, bool invertir_x, bool invertir_y) {
    caixa_abast s = c;
    if (!invertir_x) s.x0 = 1 - c.x1, s.x1 = 1 - c.x0;
    if (invertir_y) s.y0 = 1 - c.y1, s.y1 = 1 - c.y0;
    return s;
}

} // namespace brisola
