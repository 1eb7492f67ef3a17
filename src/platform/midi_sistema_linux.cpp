#include "midi_sistema_linux.h"

#include "sintetitzador.h"

#include <vector>

namespace brisola {

namespace {

const char* const nom_mapper = "MIDI Mapper";
const char* const nom_sintetitzador = "Sintetitzador integrat";
const char* const nom_propi = "Brisola (port ALSA)";

int mida_missatge(uint8_t estat) {
    uint8_t tipus = estat & 0xF0;
    return tipus == 0xC0 || tipus == 0xD0 ? 2 : 3;
}

} // namespace

midi_sistema_linux::midi_sistema_linux(sintetitzador& synth, ports_alsa& alsa)
    : synth_(synth), alsa_(alsa), hi_ha_sequenciador_(alsa.hi_ha_sequenciador()), ports_(alsa.ports()) {}

midi_sistema_linux::~midi_sistema_linux() = default;

uint32_t midi_sistema_linux::midiOutGetNumDevs() { return uint32_t(1 + ports_.size() + (hi_ha_sequenciador_ ? 1 : 0)); }

uint32_t midi_sistema_linux::midiOutGetDevCapsA(int32_t dispositiu, QString& nom) {
    if (dispositiu == MIDI_MAPPER) nom = nom_mapper;
    else if (dispositiu == 0) nom = QString("%1 (%2 mostres)").arg(nom_sintetitzador).arg(synth_.periode());
    else if (dispositiu > 0 && dispositiu <= ports_.size()) nom = ports_[dispositiu - 1];
    else if (dispositiu == port_propi()) nom = nom_propi;
    else return MMSYSERR_BADDEVICEID;
    return MMSYSERR_NOERROR;
}

uint32_t midi_sistema_linux::midiOutOpen(HMIDIOUT& handle, int32_t dispositiu) {
    handle = 0;
    if (dispositiu == MIDI_MAPPER) dispositiu = 0;
    if (dispositiu < 0 || (dispositiu > ports_.size() && dispositiu != port_propi())) return MMSYSERR_BADDEVICEID;
    std::unique_ptr<port_alsa> port;
    if (dispositiu > 0) {
        port = dispositiu == port_propi() ? alsa_.obre_propi(nom_propi) : alsa_.obre(dispositiu - 1);
        if (!port) return MMSYSERR_ALLOCATED;
    }
    handle = seguent_++;
    oberts_[handle] = std::move(port);
    return MMSYSERR_NOERROR;
}

uint32_t midi_sistema_linux::midiOutClose(HMIDIOUT handle) {
    auto it = oberts_.find(handle);
    if (it == oberts_.end()) return MMSYSERR_INVALHANDLE;
    if (!it->second) // notes left hanging would ring on after the close
        for (uint8_t canal = 0; canal < 16; ++canal) synth_.envia(0xB0 | canal, 123, 0);
    oberts_.erase(it);
    return MMSYSERR_NOERROR;
}

bool midi_sistema_linux::al_sintetitzador(HMIDIOUT handle) const {
    auto it = oberts_.find(handle);
    return it != oberts_.end() && !it->second;
}

uint32_t midi_sistema_linux::midiOutShortMsg(HMIDIOUT handle, uint32_t missatge) {
    auto it = oberts_.find(handle);
    if (it == oberts_.end()) return MMSYSERR_INVALHANDLE;
    uint8_t estat = missatge & 0xFF, dada1 = (missatge >> 8) & 0xFF, dada2 = (missatge >> 16) & 0xFF;
    // Data bytes with bit 7 set would be read as status bytes: refuse, do not garble.
    if (estat < 0x80 || estat >= 0xF0 || (missatge >> 24) != 0 || dada1 > 127 || dada2 > 127)
        return MMSYSERR_INVALPARAM;
    if (!it->second) {
        synth_.envia(estat, dada1, dada2);
        return MMSYSERR_NOERROR;
    }
    std::vector<uint8_t> bytes{estat, dada1, dada2};
    bytes.resize(size_t(mida_missatge(estat)));
    return it->second->envia(bytes) ? MMSYSERR_NOERROR : MIDIERR_NODEVICE;
}

} // namespace brisola
