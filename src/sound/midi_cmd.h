#pragma once
// MIDI_CMD: the channel messages the instrument plays, built on MIDI_OUT.
#include <cstdint>

namespace brisola {

class MIDI_OUT;

class MIDI_CMD {
public:
    explicit MIDI_CMD(MIDI_OUT& sortida) : sortida_(sortida) {}
    void NoteOn(int16_t canal, int16_t nota, int16_t velocitat);
    // A note-on with velocity 0: the instrument never sends 0x80.
    void NoteOff(int16_t canal, int16_t nota);
    void ControlChange(int16_t canal, int16_t controlador, int16_t valor);
    void ProgramChange(int16_t canal, int16_t banc, int16_t programa);
    void PitchBend(int16_t canal, int32_t valor);
    static void SplitBendValue(int32_t valor, int16_t& msb, int16_t& lsb);

private:
    MIDI_OUT& sortida_;
};

} // namespace brisola
