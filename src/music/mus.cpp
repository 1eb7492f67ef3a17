// MUS, the performance dispatcher: turns one pointer sample in the 640 x 480
// frame into a note (or song control), a colour, a cursor move and the
// interval of the next tick. Every statement that can fail runs under the
// continue-on-error rule, so one bad value never stops the instrument.
#include "app/finestra_main.h"
#include "music/escala.h"
#include "platform/caixa_imatge.h"
#include "platform/control_mobil.h"
#include "platform/media_sistema.h"
#include "platform/numeros.h"

#include <QLabel>

#include <cmath>

namespace brisola {

namespace {

constexpr int16_t divisor_fila[] = {8, 4, 2, 1};
constexpr int16_t durada_fila[] = {500, 250, 125, 62};

// The working values of one call; each starts at 0.
struct pas_mus {
    int16_t ex = 0, ey = 0, nota = 0, d = 0;
    double c = 0, rapidesa = 0;
    int32_t resultat = 0;
};

template <class F>
void pas(F&& f) {
    continua_si_falla(std::forward<F>(f));
}

// Row 0 (top) to 3 (bottom). A position off the frame (480 exactly, or a drag
// far below a window that is not maximised) plays the nearest edge row.
int16_t fila(int16_t ey) { return int16_t(std::clamp(std::floor(ey * 4 / 480.0), 0.0, 3.0)); }

// Two characters of t from position `inici`, counted from 1; past the end gives less.
std::string mig(const QString& t, long inici) {
    if (inici < 1) throw error_execucio("posicio fora de rang");
    return t.mid(inici - 1, 2).toStdString();
}

int saturat(long long v) {
    if (v < 0) throw error_execucio("color negatiu");
    return int(std::min<long long>(v, 255));
}

void orienta(finestra_main& w, pas_mus& p, int16_t x, int16_t y) {
    pas([&] { p.ex = w.mn_inv.Checked(0) ? c16(640 - x) : x; });
    pas([&] { p.ey = w.mn_inv.Checked(1) ? c16(480 - y) : y; });
    p.nota = p.ey;
}

void comprova_canco(finestra_main& w, pas_mus& p) {
    auto& estat = w.estat;
    auto& media = w.serveis_.media;
    int mida_bufer = 0;
    QString resposta;
    // The reply lands in the buffer of this call, cut to its size; a refused command leaves it as it was.
    auto envia = [&](const QString& ordre) {
        QString r = media.mciSendStringA(ordre);
        if (mida_bufer > 0 && !r.isEmpty()) resposta = r.left(mida_bufer - 1);
        return r;
    };
    double ara = w.serveis_.temps.segons();
    if (ara - estat.darrera_comprovacio > 1) {
        QString sp = w.reproductor.nom_curt();
        pas([&] { estat.darrera_comprovacio = nearest32(ara); });
        if (midi_reproductor::extensio_primer_punt(w.reproductor.fitxer_canco()) == "MID") {
            mida_bufer = 128;
            envia("Status Mid1 Tempo");
        } else {
            mida_bufer = 7;
            envia("status " + sp + " mode");
            if (resposta.left(6) == "paused") resposta = "1";
        }
        pas([&] {
            bool en_pausa = leading_number(resposta.toStdString()) == 1;
            if (p.rapidesa == 0 && !en_pausa) w.reproductor.SetSongTempo(1);
            if (p.rapidesa != 0 && en_pausa) w.reproductor.SetSongTempo(estat.canco_tempo);
        });
    }
    // Only a song open under Mid1 answers its position: with no answer there is no end to see.
    if (envia("status Mid1 position").isEmpty() || mida_bufer == 0) return;
    pas([&] {
        if (leading_number(resposta.toStdString()) == estat.canco_llargada) {
            if (estat.canco_actual >= w.CMUS.size()) throw error_execucio("element de menu absent");
            w.CMUS.set_Checked(estat.canco_actual, false);
        }
    });
}

// Movement mode: the pointer's speed since the cursor was last drawn. True
// when MUS must return at once (no song, and the pointer stands still).
bool moviment(finestra_main& w, pas_mus& p, int32_t interval) {
    auto& estat = w.estat;
    int16_t px = 0, py = 0;
    pas([&] { px = nearest(640 - divideix(w.cursor_actiu->Left() * 640.0, w.pantalla->ScaleWidth())); });
    pas([&] { py = nearest(divideix(w.cursor_actiu->Top() * 480.0, w.pantalla->ScaleHeight())); });
    if (estat.interval_anterior != 0)
        p.rapidesa = std::hypot(double(p.ex - px), double(p.ey - py)) / estat.interval_anterior;
    if (estat.canco_actual != 0) {
        comprova_canco(w, p);
        estat.interval_anterior = float(interval);
        p.resultat = interval;
        return false;
    }
    if (p.rapidesa != 0) return false;
    estat.interval_anterior = float(interval);
    return true;
}

// Bateria and Ritmes: the pointer picks an item of the current chord and a row's fraction of the bar.
void tria_de_l_acord(finestra_main& w, pas_mus& p) {
    auto& estat = w.estat;
    pas([&] {
        double n = estat.acord_notes.size() / 2.0;
        p.c = n - std::trunc(n * p.ex / 640.0);
        if (p.c == 0) p.c = 1;
    });
    int16_t r = fila(p.ey);
    pas([&] {
        long item = hexval(mig(estat.acord_notes, nearest32((p.c - 1) * 2 + 1)));
        p.nota = nearest(item + number(estat.acord_base.toStdString()));
    });
    p.d = divisor_fila[r];
    pas([&] { p.resultat = nearest32(divideix(estat.tempo, p.d)); });
}

void bateria(finestra_main& w, pas_mus& p, int32_t interval) {
    tria_de_l_acord(w, p);
    w.estat.patro_bateria = QString::fromStdString("1" + trimmed(p.d) + trimmed(p.nota));
    p.nota = 0;
    w.estat.interval_anterior = float(interval);
}

void ritmes(finestra_main& w, pas_mus& p, int32_t interval) {
    tria_de_l_acord(w, p);
    w.estat.interval_anterior = float(interval);
}

void escala_i_temps(finestra_main& w, pas_mus& p, int32_t interval) {
    pas([&] { p.c = floor16(c16(p.ex * 16) / 640.0); });
    int16_t r = fila(p.ey);
    pas([&] {
        auto columna = static_cast<long long>(p.c);
        long long base = 84 - floor16(columna / 7.0) * 12;
        long long i = 7 - (columna % 7);
        if (i < 1 || i > 7) throw error_execucio("pas fora de rang");
        p.nota = nearest(double(pas_de_l_escala(int(i)) + base));
    });
    p.d = durada_fila[r];
    if (p.d != p.resultat) p.resultat = p.d;
    w.estat.interval_anterior = float(interval);
}

void ritme_i_notes(finestra_main& w, pas_mus& p) {
    int16_t iv = 0;
    p.c = p.ex;
    pas([&] { iv = nearest(w.estat.tempo * double(p.ex) / 640); });
    if (iv < 10) iv = 10;
    if (iv > 1000) iv = 1000;
    w.Label5->setText(QString::fromStdString(text(p.ex)));
    w.Label6->setText(QString::fromStdString(text(iv)));
    p.resultat = iv;
    w.estat.interval_anterior = iv;
    pas([&] { p.nota = c16(nearest(96 * double(c16(480 - p.ey)) / 480) + 12); });
}

void sortida(finestra_main& w, const pas_mus& p) {
    if (w.estat.canco_actual != 0) return;
    w.midi_out.SendShortMessage(176, 120, 0);
    // A note beyond MIDI's 1..127 would garble the message: silence is the safe answer.
    if (p.nota >= 1 && p.nota <= 127) w.midi_cmd.NoteOn(0, p.nota, w.estat.velocitat);
}

void color(finestra_main& w, const pas_mus& p, int16_t x) {
    if (!w.estat.fons_fitxer.isEmpty()) return;
    pas([&] {
        int vermell = saturat(c16(p.nota * 2));
        int verd = saturat(nearest(255.0 * x / 640));
        int blau = saturat(c16(p.nota + 120));
        w.pantalla->set_BackColor(QColor(vermell, verd, blau));
    });
}

void mou_cursor(finestra_main& w, int16_t x, int16_t y) {
    pas([&] {
        int16_t cx = c16(640 - x);
        if (w.mn_inv.Checked(0)) cx = c16(640 - cx);
        int16_t cy = w.mn_inv.Checked(1) ? c16(480 - y) : y;
        w.cursor_actiu->Move(w.pantalla->ScaleWidth() * cx / 640.0f, w.pantalla->ScaleHeight() * cy / 480.0f);
    });
}

void titol(finestra_main& w, const pas_mus& p) {
    std::string rapidesa = (text(std::floor(p.rapidesa)) + "    ").substr(0, 4);
    w.setWindowTitle(QString::fromStdString(text(p.c) + text(p.nota) + text(p.d) + rapidesa + " c" +
                                            text(w.estat.canco_tempo)));
}

} // namespace

int32_t finestra_main::MUS(int16_t& vertical, int16_t& horitzontal, int32_t& interval) {
    pas_mus p;
    p.resultat = interval;
    orienta(*this, p, horitzontal, vertical);
    if (mn_pos.Checked(1) && moviment(*this, p, interval)) return interval;
    if (fmus.Checked(2)) bateria(*this, p, interval);
    if (estat.ritme_actual != 0) ritmes(*this, p, interval);
    if (fmus.Checked(1)) escala_i_temps(*this, p, interval);
    if (fmus.Checked(0)) ritme_i_notes(*this, p);
    sortida(*this, p);
    color(*this, p, horitzontal);
    mou_cursor(*this, horitzontal, vertical);
    titol(*this, p);
    return p.resultat;
}

} // namespace brisola
