#include "platform/volum_sistema.h"

#include "platform/media_interpret.h"
#include "platform/sintetitzador.h"

namespace brisola {

void volum_intern::set_guanys(const guanys_so& g) {
    synth_.set_guanys(g.sintetitzador, g.canals);
    media_.set_guany(float(g.cancons));
}

} // namespace brisola
