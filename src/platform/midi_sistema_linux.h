#pragma once
// The device table on Linux: -1 the mapper, which opens device 0; device 0
// the built-in synthesizer; devices 1..N the ALSA sequencer's output ports, and
// then a port of the instrument's own that other programs subscribe to.
#include "midi_sistema.h"
#include "ports_alsa.h"

#include <QStringList>

#include <map>
#include <memory>

namespace brisola {

class sintetitzador;

class midi_sistema_linux : public midi_sistema {
public:
    midi_sistema_linux(sintetitzador& synth, ports_alsa& alsa);
    ~midi_sistema_linux() override;

    uint32_t midiOutGetNumDevs() override;
    uint32_t midiOutGetDevCapsA(int32_t dispositiu, QString& nom) override;
    uint32_t midiOutOpen(HMIDIOUT& handle, int32_t dispositiu) override;
    uint32_t midiOutClose(HMIDIOUT handle) override;
    uint32_t midiOutShortMsg(HMIDIOUT handle, uint32_t missatge) override;
    QString midiOutGetErrorTextA(uint32_t codi) override { return text_error_midi(codi); }
    bool al_sintetitzador(HMIDIOUT handle) const override;

private:
    int32_t port_propi() const { return hi_ha_sequenciador_ ? int32_t(ports_.size()) + 1 : -2; }

    sintetitzador& synth_;
    ports_alsa& alsa_;
    bool hi_ha_sequenciador_ = false;
    QStringList ports_;
    // One entry per open handle; a null port means the built-in synthesizer.
    std::map<HMIDIOUT, std::unique_ptr<port_alsa>> oberts_;
    HMIDIOUT seguent_ = 1;
};

} // namespace brisola
