#pragma once
// A person's levels: the instrument's volume over all it sounds, and the
// accompaniment's level relative to the person's own notes, so that their
// notes can stand out (or the accompaniment carry them).
#include "platform/volum_sistema.h"

namespace brisola {

constexpr int canal_bateria = 9;

// `volum` 0..100 %, `acompanyament` -24..+6 dB; `bateria_acompanya`: the drums
// channel is the accompaniment's (a rhythm plays), not the person's own notes.
guanys_so guanys_de(int volum, int acompanyament, bool bateria_acompanya);

} // namespace brisola
