#pragma once
// The device table on Linux: -1 the mapper, which opens device 0; device 0
// the built-in synthesizer; devices 1..N the ALSA sequencer's output ports.
#include "midi_sistema.h"

#include <QStringList>

#include <map>
#include <memory>

class RtMidiOut;

namespace brisola {

class sintetitzador;

class midi_sistema_linux : public midi_sistema {
public:
    explicit midi_sistema_linux(sintetitzador& synth);
    ~midi_sistema_linux() override;

    uint32_t midiOutGetNumDevs() override;
    uint32_t midiOutGetDevCapsA(int32_t dispositiu, QString& nom) override;
    uint32_t midiOutOpen(HMIDIOUT& handle, int32_t dispositiu) override;
    uint32_t midiOutClose(HMIDIOUT handle) override;
    uint32_t midiOutShortMsg(HMIDIOUT handle, uint32_t missatge) override;
    QString midiOutGetErrorTextA(uint32_t codi) override { return text_error_midi(codi); }

private:
    sintetitzador& synth_;
    QStringList ports_;
    // One entry per open handle; a null port means the built-in synthesizer.
    std::map<HMIDIOUT, std::unique_ptr<RtMidiOut>> oberts_;
    HMIDIOUT seguent_ = 1;
};

} // namespace brisola
