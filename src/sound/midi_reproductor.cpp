#include "midi_reproductor.h"

#include "platform/media_sistema.h"

namespace brisola {

void midi_reproductor::StopMidiSong() {
    media_.mciSendStringA("Stop Mid1");
    media_.mciSendStringA("Close Mid1");
}

void midi_reproductor::SetSongTempo(int16_t valor) {
    if (extensio_primer_punt(fitxer_canco()) == "MID") {
        media_.mciSendStringA("Set Mid1 Tempo " + QString::number(valor));
        return;
    }
    QString sp = media_.ShortPath(cami_canco());
    media_.mciSendStringA((valor == 1 ? "pause " : "resume ") + sp);
}

QString midi_reproductor::fitxer_canco() const {
    size_t fila = size_t(estat_.canco_actual);
    if (estat_.canco_actual <= 0 || fila >= estat_.cancons.size() || estat_.cancons[fila].size() < 3) return {};
    return estat_.cancons[fila][2];
}

QString midi_reproductor::extensio_primer_punt(const QString& nom) {
    qsizetype punt = nom.indexOf('.');
    QString ext = punt < 0 ? QString() : nom.mid(punt + 1, 3);
    return ext.leftJustified(3, ' ').toUpper();
}

} // namespace brisola
