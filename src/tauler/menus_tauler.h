#pragma once
// The board's first tiles, built from the menus as they are when it opens:
// Modalitat (with its rhythms and songs), Instrument, Velocitat, Fer silenci,
// Persona, Accés and "Tornar a tocar". The current choices carry their mark.
#include "tauler/rajoles.h"

class QMenu;

namespace brisola {

class finestra_main;

// `persones`: the Persona menu (none: no such group); `instrument`: the instrument item last chosen (0: none).
std::vector<rajola> rajoles_dels_menus(finestra_main& w, QMenu* persones, int instrument);

} // namespace brisola
