#pragma once
// The board's side of the switch: holding it opens the board, the highlight
// moves by itself (or by a second key), and a press chooses the highlighted
// tile. The highlight waits while a press waits for its acceptance time, so
// the tile chosen is the one the press began on. A press the board takes
// never reaches the instrument, nor does its release.
#include <memory>

namespace brisola {

class rellotge;
class temporitzador;

// What the switch drives on the board.
class tauler_escombrat {
public:
    virtual ~tauler_escombrat() = default;
    virtual bool obert() const = 0;
    virtual void obre() = 0;
    virtual void avanca() = 0;          // one scan step (the board may close)
    virtual void seguent() = 0;         // the "next" key
    virtual void prem() = 0;            // a press on the highlighted tile
    virtual bool premsa_en_espera() const = 0; // a press has begun and waits for its acceptance time
};

class pulsador_tauler {
public:
    struct temps {
        int obertura = 0;  // ms the switch is held to open the board; 0: never
        int escombrat = 1500;
        int tecla_seguent = 0;
    };

    pulsador_tauler(rellotge& r, tauler_escombrat& t);
    ~pulsador_tauler();

    // `escombra`: the highlight moves by itself now (the board is open for a switch user with one key).
    void set_temps(const temps& t, bool escombra);
    // The highlight's period starts afresh (a group was entered).
    void reinicia_escombrat();
    // A press or release that counts, from the switch stage; true keeps it from the instrument.
    bool intercepta(bool premsa, int tecla);

private:
    bool tecla_seguent(bool premsa);
    void pas();

    rellotge& rellotge_;
    tauler_escombrat& tauler_;
    std::unique_ptr<temporitzador> escombrat_, premuda_;
    temps temps_;
    bool premut_ = false;
    bool premsa_del_tauler_ = false;      // the press held now was the board's: so is its release
    bool alliberament_del_tauler_ = false; // the last release was the board's (a key's repeat goes on with it)
    double alliberat_a_ = -1;
};

} // namespace brisola
