// The MIDI test panel's handlers.
#include "app/finestra_main.h"
#include "music/escala.h"
#include "platform/caixa_imatge.h"
#include "platform/llista.h"
#include "platform/numeros.h"
#include "platform/temporitzador.h"

#include <QApplication>
#include <QScrollBar>

#include <algorithm>

namespace brisola {

namespace {

// Colour values as blue × 65536 + green × 256 + red.
constexpr long colors_barra[] = {8421504, 8421376, 8388736, 32896, 16744576, 65408};
constexpr long colors_teclat[] = {65535, 33023, 8421631, 65280, 65408, 8454016, 16711680, 16744448, 16744576};

QColor color_de(long valor) { return QColor(int(valor & 0xFF), int((valor >> 8) & 0xFF), int((valor >> 16) & 0xFF)); }

} // namespace

void finestra_main::List1_Click() {
    midi_out.CloseMidiOut();
    midi_out.OpenMidiOut(int16_t(List1->ItemData(List1->ListIndex())));
}

void finestra_main::lst_sound_list_Click() {
    size_t entrada = size_t(lst_sound_list->ListIndex());
    if (entrada < files_instrument.size()) tria_instrument(files_instrument[entrada]);
}

} // namespace brisola

namespace brisola {

void finestra_main::Command1_Click() { midi_cmd.NoteOn(0, 60, 127); }

void finestra_main::Command2_Click() { StopAllSound(); }

// The window answers nothing while the scale plays, as a held key would.
void finestra_main::Command5_Click() {
    QApplication::setOverrideCursor(Qt::BusyCursor);
    for (int i = 13; i >= 0; --i) {
        int16_t nota = int16_t(84 - (i / 7) * 12 + pas_de_l_escala(7 - i % 7));
        midi_cmd.NoteOn(0, nota, 127);
        serveis_.temps.espera(250);
        midi_cmd.NoteOff(0, nota);
    }
    QApplication::restoreOverrideCursor();
}

void finestra_main::sb_play_Change() {
    midi_cmd.NoteOff(0, sb_darrer_);
    int16_t v = int16_t(sb_play->value());
    midi_cmd.NoteOn(0, v, 127);
    pantalla->set_BackColor(color_de(colors_barra[v % 6]));
    sb_darrer_ = v;
}

// A drag goes on past the strip's edges: its values stop at the strip's range.
void finestra_main::Picture1_MouseDown(int, int, float, float Y) {
    Y = std::clamp(Y, 0.0f, 127.0f);
    continua_si_falla([&] {
        teclat_nota_ = nearest(Y);
        midi_cmd.NoteOn(0, teclat_nota_, 127);
        pantalla->set_BackColor(color_de(colors_teclat[sb_play->value() % 9] + nearest32(Y)));
    });
}

// The note the press started ends, wherever the button comes up.
void finestra_main::Picture1_MouseUp(int, int, float, float) { midi_cmd.NoteOff(0, teclat_nota_); }

void finestra_main::Bender_MouseMove(int, int, float, float Y) {
    Y = std::clamp(Y, 0.0f, 16383.0f);
    Bender->Line_invert({0, bender_darrer_}, {1, bender_darrer_});
    continua_si_falla([&] { midi_cmd.PitchBend(0, nearest32(Y)); });
    Bender->Line_invert({0, Y}, {1, Y});
    bender_darrer_ = Y;
}

} // namespace brisola
