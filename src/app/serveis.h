#pragma once
// The system services the instrument runs on; the program hands it the real
// ones, the tests hand it recording fakes.
#include <QString>

#include <functional>

namespace brisola {

class captura_sistema;
class dialeg_fitxers;
class rellotge;
class joystick_sistema;
class media_sistema;
class midi_sistema;
class missatges;
class programes;
class tintseer_biblioteca;

struct serveis {
    midi_sistema& midi;
    missatges& caixes;
    dialeg_fitxers& dialeg;
    rellotge& temps;
    joystick_sistema& joystick;
    captura_sistema& captura;
    tintseer_biblioteca& tintseer;
    media_sistema& media;
    programes& llancador;
    QString directori;                   // the user's brisola.ini, and the first place for files the catalogue names
    QString dades;                       // what we ship: default catalogue, songs, pictures, the tracker's record
    std::function<void()> acaba_programa; // ends the program at once
};

} // namespace brisola
