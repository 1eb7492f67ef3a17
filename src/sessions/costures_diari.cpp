#include "sessions/costures_diari.h"

#include "sessions/diari.h"

namespace brisola {

uint32_t midi_diari::midiOutShortMsg(HMIDIOUT handle, uint32_t missatge) {
    const uint32_t r = real_.midiOutShortMsg(handle, missatge);
    if (r == MMSYSERR_NOERROR) diari_.midi(missatge, real_.al_sintetitzador(handle));
    return r;
}

media_diari::media_diari(media_sistema& real, diari& d) : real_(real), diari_(d) { d.escolta(real); }

// Only what the player took is noted.
QString media_diari::mciSendStringA(const QString& ordre, uint32_t* error) {
    uint32_t e = MCI_OK;
    const QString resposta = real_.mciSendStringA(ordre, &e);
    if (error) *error = e;
    if (e == MCI_OK) diari_.canco(ordre);
    return resposta;
}

void volum_diari::set_guanys(const guanys_so& g) {
    real_.set_guanys(g);
    diari_.nivells(g);
}

} // namespace brisola
