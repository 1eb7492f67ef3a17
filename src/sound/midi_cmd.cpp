#include "midi_cmd.h"

#include "midi_out.h"

namespace brisola {

void MIDI_CMD::NoteOn(int16_t canal, int16_t nota, int16_t velocitat) {
    sortida_.SendShortMessage(int16_t(0x90 + canal), nota, velocitat);
}

void MIDI_CMD::NoteOff(int16_t canal, int16_t nota) { sortida_.SendShortMessage(int16_t(0x90 + canal), nota, 0); }

void MIDI_CMD::ControlChange(int16_t canal, int16_t controlador, int16_t valor) {
    sortida_.SendShortMessage(int16_t(0xB0 + canal), controlador, valor);
}

void MIDI_CMD::ProgramChange(int16_t canal, int16_t banc, int16_t programa) {
    ControlChange(canal, 0, banc);
    sortida_.SendShortMessage(int16_t(0xC0 + canal), programa, 0);
}

void MIDI_CMD::PitchBend(int16_t canal, int32_t valor) {
    int16_t msb = 0, lsb = 0;
    SplitBendValue(valor, msb, lsb);
    sortida_.SendShortMessage(int16_t(0xE0 + canal), lsb, msb);
}

void MIDI_CMD::SplitBendValue(int32_t valor, int16_t& msb, int16_t& lsb) {
    lsb = int16_t(valor & 0x7F);
    msb = int16_t((valor & 0x7F80) / 128);
}

} // namespace brisola
