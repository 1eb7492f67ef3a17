// The MIDI test panel's handlers.
#include "app/finestra_main.h"
#include "platform/llista.h"

namespace brisola {

void finestra_main::List1_Click() {
    midi_out.CloseMidiOut();
    midi_out.OpenMidiOut(int16_t(List1->ItemData(List1->ListIndex())));
}

} // namespace brisola
