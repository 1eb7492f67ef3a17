#include "midi_reproductor.h"

#include "platform/fitxer_ini.h"
#include "platform/media_sistema.h"
#include "platform/missatges.h"
#include "platform/numeros.h"
#include "presentation/avisos.h"
#include "sound/midi_out.h"

#include <QFileInfo>

namespace brisola {

namespace {

// A numeric reply: its leading number, to the nearest; 0 when it is none or does not fit.
int32_t valor_de(const QString& resposta) {
    try {
        return nearest32(leading_number(resposta.toStdString()));
    } catch (const error_execucio&) {
        return 0;
    }
}

} // namespace

QString midi_reproductor::envia_mid1(const QString& ordre, uint32_t* error) {
    return media_.mciSendStringA(ordre, error).left(127);
}

void midi_reproductor::no_es_pot_llegir(const QString& cami) {
    estat_.canco_actual = 0;
    caixes_.avisa(text_avis(avis::canco_illegible, estat_.idioma, {QFileInfo(cami).fileName()}));
}

void midi_reproductor::PlayMidiSong(const QString& cami) {
    QString sp = media_.ShortPath(cami);
    if (sp.isEmpty()) return no_es_pot_llegir(cami); // the instrument keeps its output: nothing will take it
    midi_out_.CloseMidiOut();
    envia_mid1("Stop Mid1");
    envia_mid1("Close Mid1");
    uint32_t error = MCI_OK;
    envia_mid1("open " + sp + " Type Sequencer Alias Mid1 ", &error);
    if (error != MCI_OK) {
        // No song will take the output given up above: the instrument plays on as before.
        midi_out_.OpenMidiOut(MIDI_MAPPER);
        return no_es_pot_llegir(cami);
    }
    estat_.canco_llargada = valor_de(envia_mid1("status Mid1 length"));
    envia_mid1("play Mid1");
    int32_t tempo = valor_de(envia_mid1("Status Mid1 Tempo"));
    estat_.canco_tempo = int16_t(tempo >= INT16_MIN && tempo <= INT16_MAX ? tempo : 0);
}

void midi_reproductor::PlayMediaSong(const QString& cami) {
    sp_media_.clear();
    QString sp = media_.ShortPath(cami);
    if (sp.isEmpty()) return no_es_pot_llegir(cami);
    QString ext = extensio_tres_darrers(sp);
    if (ext != "MID" && ext != "WAV" && ext != "MP3") {
        estat_.canco_actual = 0;
        return;
    }
    uint32_t error = MCI_OK;
    media_.mciSendStringA("play " + sp, &error);
    if (error != MCI_OK) return no_es_pot_llegir(cami);
    sp_media_ = sp;
}

void midi_reproductor::SetSongTempo(int16_t valor) {
    if (extensio_primer_punt(fitxer_canco()) == "MID") {
        envia_mid1("Set Mid1 Tempo " + QString::number(valor));
        return;
    }
    media_.mciSendStringA((valor == 1 ? "pause " : "resume ") + nom_curt());
}

void midi_reproductor::StopMidiSong() {
    envia_mid1("Stop Mid1");
    envia_mid1("Close Mid1");
}

void midi_reproductor::StopCurrentSong() {
    if (extensio_primer_punt(fitxer_canco()) == "MID") return StopMidiSong();
    // Padded to 256, but never cut: a longer name cut short would leave the song playing.
    QString camp = nom_curt().leftJustified(256, ' ');
    sp_media_.clear();
    media_.mciSendStringA("close " + camp);
}

QString midi_reproductor::nom_curt() const {
    return sp_media_.isEmpty() ? media_.ShortPath(cami_canco()) : sp_media_;
}

QString midi_reproductor::fitxer_canco() const {
    size_t fila = size_t(estat_.canco_actual);
    if (estat_.canco_actual <= 0 || fila >= estat_.cancons.size() || estat_.cancons[fila].size() < 3) return {};
    return estat_.cancons[fila][2];
}

QString midi_reproductor::cami_canco() const { return cami_del_cataleg(carpetes_, fitxer_canco()); }

QString midi_reproductor::extensio_primer_punt(const QString& nom) {
    qsizetype punt = nom.indexOf('.');
    QString ext = punt < 0 ? QString() : nom.mid(punt + 1, 3);
    return ext.leftJustified(3, ' ').toUpper();
}

QString midi_reproductor::extensio_tres_darrers(const QString& nom) { return nom.trimmed().right(3).toUpper(); }

} // namespace brisola
