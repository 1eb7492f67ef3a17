#pragma once
// MIDI_OUT: owns the one open output device, lists devices, sends short
// messages and shows a failed device call with the system's error text.
#include "app/estat.h"

namespace brisola {

class llista;
class missatges;

class MIDI_OUT {
public:
    MIDI_OUT(estat_compartit& estat, midi_sistema& sistema, missatges& caixes);

    void FillDeviceList(llista& list);
    bool OpenMidiOut(int16_t dispositiu);
    void CloseMidiOut();
    void ShowMidiError(int16_t codi);
    void SendShortMessage(int16_t estat, int16_t dada1, int16_t dada2);
    static int32_t PackShortMessage(int16_t estat, int16_t dada1, int16_t dada2);
    // The drum sequencer's own send on the open device: no check, no box.
    void midiOutShortMsg(uint32_t missatge) { sistema_.midiOutShortMsg(estat_.hmidi_out, missatge); }

private:
    estat_compartit& estat_;
    midi_sistema& sistema_;
    missatges& caixes_;
    // With pointer ticks every 10 ms a failing device would stack one box per tick.
    bool caixa_oberta_ = false;
    // A port that went away is said once: every later note would say it again.
    HMIDIOUT perdut_ = 0;
};

} // namespace brisola
