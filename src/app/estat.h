#pragma once
// The instrument's shared state: one struct, owned by the window and handed by
// reference to every module that reads or writes it.
#include "platform/captura_sistema.h"
#include "platform/joystick_sistema.h"
#include "platform/midi_sistema.h"

#include <QString>
#include <QStringList>

#include <cstdint>
#include <vector>

namespace brisola {

// A catalogue table: row 0 column 0 holds the count, row k is entry k.
using taula_cataleg = std::vector<QStringList>;

struct estat_compartit {
    QString idioma;
    int16_t tempo = 0;
    int16_t velocitat = 0;
    HMIDIOUT hmidi_out = 0;
    int16_t ratoli_x = 0, ratoli_y = 0;
    int16_t ritme_actual = 0;
    int16_t ritme_actiu = 0;
    int16_t canco_actual = 0;
    int32_t canco_llargada = 0;
    int16_t canco_tempo = 0;
    QString acord_notes, acord_base;
    QString patro_acords, patro_bateria;
    QString compas;
    int16_t temps_compas = 0;
    double posicio_compas = 0;
    QString fons_fitxer;
    QString cursor_fitxer; // the cursor's picture, empty while the cursor is the plain shape
    float interval_anterior = 0;
    int32_t darrera_comprovacio = 0;
    int16_t joy_trobat = 0;
    JOYINFO joy_lectura;
    uintptr_t seguidor_finestra = 0;
    HWND_CAPTURA captura_finestra = 0;
    taula_cataleg cancons, ritmes, instruments;
};

} // namespace brisola
