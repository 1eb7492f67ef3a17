// The MIDI test panel's handlers.
#include "app/finestra_main.h"
#include "platform/llista.h"

namespace brisola {

void finestra_main::List1_Click() {
    midi_out.CloseMidiOut();
    midi_out.OpenMidiOut(int16_t(List1->ItemData(List1->ListIndex())));
}

void finestra_main::lst_sound_list_Click() {
    size_t entrada = size_t(lst_sound_list->ListIndex());
    if (entrada < files_instrument.size()) tria_instrument(files_instrument[entrada]);
}

} // namespace brisola
