#include "midi_out.h"

#include "platform/llista.h"
#include "platform/missatges.h"

namespace brisola {

MIDI_OUT::MIDI_OUT(estat_compartit& estat, midi_sistema& sistema, missatges& caixes)
    : estat_(estat), sistema_(sistema), caixes_(caixes) {}

void MIDI_OUT::FillDeviceList(llista& list) {
    list.Clear();
    QString nom;
    auto afegeix = [&](int32_t dispositiu) {
        if (sistema_.midiOutGetDevCapsA(dispositiu, nom) != MMSYSERR_NOERROR) return;
        list.AddItem(nom);
        list.set_ItemData(list.NewIndex(), dispositiu);
    };
    afegeix(MIDI_MAPPER);
    uint32_t n = sistema_.midiOutGetNumDevs();
    for (uint32_t i = 0; i < n; ++i) afegeix(int32_t(i));
}

bool MIDI_OUT::OpenMidiOut(int16_t dispositiu) {
    CloseMidiOut();
    uint32_t resultat = sistema_.midiOutOpen(estat_.hmidi_out, dispositiu);
    if (resultat != MMSYSERR_NOERROR) ShowMidiError(int16_t(resultat));
    return estat_.hmidi_out != 0;
}

void MIDI_OUT::CloseMidiOut() {
    if (estat_.hmidi_out == 0) return;
    uint32_t resultat = sistema_.midiOutClose(estat_.hmidi_out);
    if (resultat != MMSYSERR_NOERROR) ShowMidiError(int16_t(resultat));
    estat_.hmidi_out = 0;
}

void MIDI_OUT::ShowMidiError(int16_t codi) {
    if (caixa_oberta_) return;
    caixa_oberta_ = true;
    caixes_.MsgBox(sistema_.midiOutGetErrorTextA(uint16_t(codi)).left(127));
    caixa_oberta_ = false;
}

void MIDI_OUT::SendShortMessage(int16_t estat, int16_t dada1, int16_t dada2) {
    // Out-of-range bytes would run into each other (program 300 would become
    // program 44): such a message is not sent, and said as a failed send is.
    auto es_dada = [](int16_t d) { return d >= 0 && d <= 127; };
    if (estat < 0x80 || estat > 0xFF || !es_dada(dada1) || !es_dada(dada2)) return ShowMidiError(MMSYSERR_INVALPARAM);
    uint32_t resultat = sistema_.midiOutShortMsg(estat_.hmidi_out, uint32_t(PackShortMessage(estat, dada1, dada2)));
    if (resultat == MIDIERR_NODEVICE && perdut_ == estat_.hmidi_out) return;
    if (resultat == MIDIERR_NODEVICE) perdut_ = estat_.hmidi_out;
    if (resultat != MMSYSERR_NOERROR) ShowMidiError(int16_t(resultat));
}

int32_t MIDI_OUT::PackShortMessage(int16_t estat, int16_t dada1, int16_t dada2) {
    return int32_t(estat) + int32_t(dada1) * 256 + int32_t(dada2) * 65536;
}

} // namespace brisola
