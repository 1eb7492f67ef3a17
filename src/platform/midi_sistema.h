#pragma once
// The system's MIDI output service: a table of output devices, each opened by
// identifier (-1 the mapper) into a non-zero handle that takes short messages.
// Results are 0 on success, otherwise one of the error codes below.
#include <QString>

#include <cstdint>

namespace brisola {

using HMIDIOUT = uintptr_t;

enum : uint32_t {
    MMSYSERR_NOERROR = 0,
    MMSYSERR_ERROR = 1,
    MMSYSERR_BADDEVICEID = 2,
    MMSYSERR_ALLOCATED = 4,
    MMSYSERR_INVALHANDLE = 5,
    MMSYSERR_NODRIVER = 6,
    MMSYSERR_INVALPARAM = 11,
    MIDIERR_NODEVICE = 68, // the port went away while it was open
};

constexpr int32_t MIDI_MAPPER = -1;

class midi_sistema {
public:
    virtual ~midi_sistema() = default;
    virtual uint32_t midiOutGetNumDevs() = 0;
    // Fills `nom` with the device's name.
    virtual uint32_t midiOutGetDevCapsA(int32_t dispositiu, QString& nom) = 0;
    virtual uint32_t midiOutOpen(HMIDIOUT& handle, int32_t dispositiu) = 0;
    virtual uint32_t midiOutClose(HMIDIOUT handle) = 0;
    virtual uint32_t midiOutShortMsg(HMIDIOUT handle, uint32_t missatge) = 0;
    virtual QString midiOutGetErrorTextA(uint32_t codi) = 0;
    // Whether the handle plays on the built-in synthesizer, which tells when it played each message.
    virtual bool al_sintetitzador(HMIDIOUT) const { return false; }
};

// The error texts of our device table, shared by every implementation.
QString text_error_midi(uint32_t codi);

} // namespace brisola
