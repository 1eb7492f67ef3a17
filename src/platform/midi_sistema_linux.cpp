#include "midi_sistema_linux.h"

#include "sintetitzador.h"

#include <rtmidi/RtMidi.h>

#include <vector>

namespace brisola {

namespace {

const char* const nom_mapper = "MIDI Mapper";
const char* const nom_sintetitzador = "Sintetitzador integrat";

// Without an ALSA sequencer (no /dev/snd/seq) RtMidi throws: then there are no ports.
std::unique_ptr<RtMidiOut> client_alsa() {
    try {
        return std::make_unique<RtMidiOut>(RtMidi::LINUX_ALSA, "Brisola");
    } catch (const RtMidiError&) {
        return nullptr;
    }
}

int mida_missatge(uint8_t estat) {
    uint8_t tipus = estat & 0xF0;
    return tipus == 0xC0 || tipus == 0xD0 ? 2 : 3;
}

} // namespace

midi_sistema_linux::midi_sistema_linux(sintetitzador& synth) : synth_(synth) {
    if (auto alsa = client_alsa()) {
        try {
            for (unsigned i = 0; i < alsa->getPortCount(); ++i)
                ports_ << QString::fromStdString(alsa->getPortName(i));
        } catch (const RtMidiError&) {
            ports_.clear();
        }
    }
}

midi_sistema_linux::~midi_sistema_linux() = default;

uint32_t midi_sistema_linux::midiOutGetNumDevs() { return uint32_t(1 + ports_.size()); }

uint32_t midi_sistema_linux::midiOutGetDevCapsA(int32_t dispositiu, QString& nom) {
    if (dispositiu == MIDI_MAPPER) nom = nom_mapper;
    else if (dispositiu == 0) nom = QString("%1 (%2 mostres)").arg(nom_sintetitzador).arg(synth_.periode());
    else if (dispositiu > 0 && dispositiu <= ports_.size()) nom = ports_[dispositiu - 1];
    else return MMSYSERR_BADDEVICEID;
    return MMSYSERR_NOERROR;
}

uint32_t midi_sistema_linux::midiOutOpen(HMIDIOUT& handle, int32_t dispositiu) {
    handle = 0;
    if (dispositiu == MIDI_MAPPER) dispositiu = 0;
    if (dispositiu < 0 || dispositiu > ports_.size()) return MMSYSERR_BADDEVICEID;
    std::unique_ptr<RtMidiOut> port;
    if (dispositiu > 0) {
        port = client_alsa();
        if (!port) return MMSYSERR_NODRIVER;
        try {
            port->openPort(unsigned(dispositiu - 1), "Brisola");
        } catch (const RtMidiError&) {
            return MMSYSERR_ALLOCATED;
        }
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
    std::vector<unsigned char> bytes{estat, dada1, dada2};
    bytes.resize(mida_missatge(estat));
    try {
        it->second->sendMessage(&bytes);
    } catch (const RtMidiError&) {
        return MMSYSERR_ERROR;
    }
    return MMSYSERR_NOERROR;
}

} // namespace brisola
