#pragma once
// The journal meets the instrument at its services: what goes to the MIDI
// output, the songs' commands and the levels pass through these on their
// way, and the journal notes them as they go.
#include "platform/media_sistema.h"
#include "platform/midi_sistema.h"
#include "platform/volum_sistema.h"

namespace brisola {

class diari;

class midi_diari : public midi_sistema {
public:
    midi_diari(midi_sistema& real, diari& d) : real_(real), diari_(d) {}
    uint32_t midiOutGetNumDevs() override { return real_.midiOutGetNumDevs(); }
    uint32_t midiOutGetDevCapsA(int32_t dispositiu, QString& nom) override {
        return real_.midiOutGetDevCapsA(dispositiu, nom);
    }
    uint32_t midiOutOpen(HMIDIOUT& handle, int32_t dispositiu) override { return real_.midiOutOpen(handle, dispositiu); }
    uint32_t midiOutClose(HMIDIOUT handle) override { return real_.midiOutClose(handle); }
    uint32_t midiOutShortMsg(HMIDIOUT handle, uint32_t missatge) override;
    QString midiOutGetErrorTextA(uint32_t codi) override { return real_.midiOutGetErrorTextA(codi); }
    bool al_sintetitzador(HMIDIOUT handle) const override { return real_.al_sintetitzador(handle); }

private:
    midi_sistema& real_;
    diari& diari_;
};

class media_diari : public media_sistema {
public:
    media_diari(media_sistema& real, diari& d);
    QString mciSendStringA(const QString& ordre, uint32_t* error = nullptr) override;
    QString ShortPath(const QString& cami) override { return real_.ShortPath(cami); }
    finals_canco finals() override { return real_.finals(); }

private:
    media_sistema& real_;
    diari& diari_;
};

class volum_diari : public volum_sistema {
public:
    volum_diari(volum_sistema& real, diari& d) : real_(real), diari_(d) {}
    void set_guanys(const guanys_so& g) override;

private:
    volum_sistema& real_;
    diari& diari_;
};

} // namespace brisola
