#pragma once
// A person who plays: a name and the setup they play with, kept in a file of
// their own (persones/<name>.ini, UTF-8, one section [persona]) beside the
// user's brisola.ini. The setup names the seed's menu choices, so applying it
// is choosing them again.
#include <QString>
#include <QStringList>

#include <optional>

namespace brisola {

// The aids a person plays with: each default is the seed's instrument.
struct ajuts {
    int suavitzat = 0;       // the tremor's smoothing: 0 off, 1 light, 2 strong
    int suavitzat_fc = 100;  // its cut-off at rest, in hundredths of a hertz
    int suavitzat_beta = 0;  // its cut-off's rise with speed, in millionths
    int abast_x0 = 0, abast_y0 = 0, abast_x1 = 1000, abast_y1 = 1000; // the reach, per mille of the input's range
    int acceptacio = 0;      // ms a switch press must be held to count (0..1000)
    int ignora = 0;          // ms after a release in which a press is ignored (0..2000)
    int volum = 100;         // % of the instrument's own sound
    int acompanyament = 0;   // dB of the accompaniment over the person's own notes (-24..+6)
    int cursor_contrast = 0; // the high-contrast ring's size, % of the surface's height; 0: none
    bool graella = false;    // the columns and rows the surface plays, drawn on it
    // The board of choices.
    int tauler_pulsador = 0;   // ms the switch is held to open it; 0: never (else 2000..10000)
    int escombrat = 1500;      // ms the highlight stays on a tile (300..5000)
    int tecla_seguent = 0;     // the key that moves the highlight on instead (two switches); 0: none
    int tauler_cantonada = 0;  // the corner of its button for dwelling: 0 none; 1..4 top left, top right, bottom left, bottom right
    int repos = 1500;          // ms of rest on a tile that choose it (300..5000)
    int tolerancia = 4;        // how far a resting pointer may stray, % of the surface's height (0..20)
    bool parla = false;        // the tile highlighted or rested on is said aloud
    bool diari = true;         // each session is kept in the person's journal
};

struct persona {
    QString nom;
    int acces = -1;       // the access item chosen (Ratolí, Tintseer, Joystick, Pulsador); -1: none
    int modalitat = 0;    // the modality item ticked
    int ritme = 0;        // the rhythm's row of the catalogue; 0: none
    int canco = 0;        // the song's row of the catalogue; 0: none
    int instrument = 0;   // the instrument item last chosen; 0: none
    int velocitat = 0;    // from "Normal": "Lent" steps (positive) or "Ràpid" steps (negative)
    int mida_cursor = 0;  // from "Cursor normal": doublings (positive) or halvings (negative)
    QString fons, cursor; // pictures; empty: the plain colour, the plain shape
    bool invertir_x = false, invertir_y = false, per_moviment = false;
    struct ajuts ajuts;
};

// Why a name cannot be a person's (a key of the notices' texts), or none when it can.
enum class nom_refusat { buit, massa_llarg, caracters };
std::optional<nom_refusat> examina_nom(const QString& nom);

struct persona_llegida {
    persona p;
    bool illegible = false; // the file could not be read: the defaults stand
    QStringList fora_de_marge; // each value that was out of its range (key=value), now brought into it
};
// The person of that file; a missing or unreadable file gives the defaults (with the name).
persona_llegida llegeix_persona(const QString& fitxer, const QString& nom);
// Replaces the file whole, or leaves it as it was; false then.
bool desa_persona(const persona& p, const QString& fitxer);

} // namespace brisola
