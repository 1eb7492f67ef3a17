// The modality and hearing menus: what the pointer plays, the rhythm, the
// song, the speed, the instrument and silence.
#include "app/finestra_main.h"
#include "platform/control_mobil.h"
#include "platform/fitxer_ini.h"
#include "platform/numeros.h"
#include "platform/temporitzador.h"

namespace brisola {

namespace {

// tempo × 4 is the drum timer's 16-bit interval: slower than this it would not fit.
constexpr int16_t tempo_maxim = 8191;

void desmarca_elements(menu_array& menu) {
    for (int16_t i = 1; i < menu.size(); ++i) menu.set_Checked(i, false);
}

} // namespace

void finestra_main::engega_patrons() {
    t_acords->set_Interval(estat.tempo);
    t_ritmes->set_Interval(estat.tempo * 4);
    t_acords_Timer();
    t_acords->set_Enabled(true);
    t_ritmes->set_Enabled(true);
}

void finestra_main::atura_canco() {
    if (estat.canco_actual == 0) return;
    reproductor.StopCurrentSong();
    midi_out.OpenMidiOut(MIDI_MAPPER);
}

void finestra_main::fmus_Click(int16_t Index) {
    auto pas = [](auto&& f) { continua_si_falla(f); };
    pas([&] {
        estat.ritme_actual = 0;
        estat.ritme_actiu = 0;
    });
    pas([&] { atura_canco(); });
    estat.canco_actual = 0;
    pas([&] {
        for (int16_t i = 0; i < fmus.size(); ++i) fmus.set_Checked(i, false);
        if (Index >= 0 && Index < fmus.size()) fmus.set_Checked(Index, true);
    });
    switch (Index) {
    case 0:
    case 1:
        estat.velocitat = 127;
        t_acords->set_Enabled(false);
        t_ritmes->set_Enabled(false);
        break;
    case 2:
        estat.patro_acords = "14BA0";
        estat.patro_bateria = "1400";
        estat.compas = "4/4";
        estat.temps_compas = 4;
        pas([&] { engega_patrons(); });
        estat.ritme_actiu = -1;
        break;
    case 3:
    case 4: estat.velocitat = 127; break;
    default: break;
    }
}

void finestra_main::rmus_Click(int16_t Index) {
    if (Index < 1 || size_t(Index) >= estat.ritmes.size()) return;
    atura_canco();
    estat.canco_actual = 0;
    desmarca_elements(rmus);
    estat.ritme_actiu = -1;
    estat.ritme_actual = Index;
    rmus.set_Checked(Index, true);
    const QStringList& fila = estat.ritmes[size_t(Index)];
    estat.patro_acords = fila.value(2);
    estat.patro_bateria = fila.value(3);
    estat.compas = fila.value(4);
    estat.temps_compas = 0;
    continua_si_falla([&] { estat.temps_compas = nearest(leading_number(fila.value(5).toStdString())); });
    engega_patrons();
}

void finestra_main::CMUS_Click(int16_t Index) {
    if (Index < 1 || size_t(Index) >= estat.cancons.size()) return;
    desmarca_elements(CMUS);
    estat.canco_actual = Index;
    CMUS.set_Checked(Index, true);
    mn_pos_Click(1);
    const QStringList fila = estat.cancons[size_t(Index)];
    QString ext = midi_reproductor::extensio_tres_darrers(fila.value(2));
    QString cami = reproductor.cami_canco();
    if (ext == "MID") reproductor.PlayMidiSong(cami);
    else if (ext == "WAV" || ext == "MP3") reproductor.PlayMediaSong(cami);
    if (QString fons = fila.value(3).trimmed(); !fons.isEmpty())
        fons_carrega(cami_del_cataleg({serveis_.directori, serveis_.dades}, fons));
    if (QString cursor = fila.value(4).trimmed(); !cursor.isEmpty()) {
        cursor_carrega(cami_del_cataleg({serveis_.directori, serveis_.dades}, cursor));
        if (cursor_actiu->width() + cursor_actiu->height() < 100) cursor_actiu->resize(50, 50);
    }
    if (pulsador()) reproductor.SetSongTempo(1);
    continua_si_falla([&] { estat.darrera_comprovacio = nearest32(serveis_.temps.segons()); });
}

void finestra_main::mn_ritme_Click(int16_t Index) {
    if (Index == 0) estat.tempo = int16_t(std::min(estat.tempo * 2, int(tempo_maxim)));
    else if (Index == 1) estat.tempo = 400;
    else if (Index == 2) estat.tempo = nearest(estat.tempo / 2.0);
    t_acords->set_Interval(estat.tempo);
}

void finestra_main::mn_inst_Click(int16_t Index) {
    if (Index == 2) StopAllSound();
}

void finestra_main::mn_instrument_Click(int16_t Index) {
    if (Index == 0) return StopAllSound();
    if (Index >= 1 && size_t(Index) <= files_instrument.size()) tria_instrument(files_instrument[size_t(Index) - 1]);
}

void finestra_main::tria_instrument(int16_t fila) {
    continua_si_falla([&] {
        const QString& codi = estat.instruments.at(size_t(fila)).value(2);
        midi_cmd.ProgramChange(0, 0, nearest(leading_number(codi.toStdString())));
    });
}

void finestra_main::StopAllSound() {
    if (estat.canco_actual != 0) {
        reproductor.StopCurrentSong();
        estat.canco_actual = 0;
        midi_out.OpenMidiOut(MIDI_MAPPER);
        return;
    }
    for (int16_t canal = 0; canal < 16; ++canal) {
        midi_out.SendShortMessage(int16_t(0xB0 + canal), 120, 0);
        midi_out.SendShortMessage(int16_t(0xB0 + canal), 123, 0);
    }
}

} // namespace brisola
