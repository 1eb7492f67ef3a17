#include "sessions/costures_diari.h"

#include "sessions/diari.h"

#include <QStringList>

namespace brisola {

uint32_t midi_diari::midiOutShortMsg(HMIDIOUT handle, uint32_t missatge) {
    const uint32_t r = real_.midiOutShortMsg(handle, missatge);
    if (r == MMSYSERR_NOERROR) diari_.midi(missatge);
    return r;
}

// Only what changes what sounds is noted; the seed asks for a song's state every second.
QString media_diari::mciSendStringA(const QString& ordre, uint32_t* error) {
    uint32_t e = MCI_OK;
    const QString resposta = real_.mciSendStringA(ordre, &e);
    if (error) *error = e;
    if (e != MCI_OK) return resposta;
    const QStringList p = ordre.simplified().toLower().split(' ');
    const QString& verb = p[0];
    if (verb == "status") {
        if (p.size() == 3 && p[2] == "mode" && resposta == "stopped") diari_.canco_aturada();
    } else if (verb == "set") {
        diari_.canco(ordre, p.value(3) != "1");
    } else if (verb == "play" || verb == "resume") {
        diari_.canco(ordre, true);
    } else {
        diari_.canco(ordre, false);
    }
    return resposta;
}

void volum_diari::set_guanys(const guanys_so& g) {
    real_.set_guanys(g);
    diari_.nivells(g);
}

} // namespace brisola
