// The MIDI test panel's handlers.
#include "app/finestra_main.h"
#include "platform/llista.h"
#include "platform/numeros.h"

namespace brisola {

void finestra_main::List1_Click() {
    midi_out.CloseMidiOut();
    midi_out.OpenMidiOut(int16_t(List1->ItemData(List1->ListIndex())));
}

void finestra_main::lst_sound_list_Click() {
    continua_si_falla([this] {
        size_t entrada = size_t(lst_sound_list->ListIndex());
        if (entrada >= files_instrument.size()) throw error_execucio("entrada sense fila");
        const QString& codi = estat.instruments.at(size_t(files_instrument[entrada]))[2];
        midi_cmd.ProgramChange(0, 0, nearest(number(codi.toStdString())));
    });
}

} // namespace brisola
