#pragma once
// The board's side of the switch: holding it opens the board, the highlight
// moves by itself (or by a second key), and a press chooses the tile that was
// highlighted when the press began. A press the board takes never reaches the
// instrument, nor does its release.
#include <deque>
#include <memory>
#include <utility>

namespace brisola {

class rellotge;
class temporitzador;

// What the switch drives on the board.
class tauler_escombrat {
public:
    virtual ~tauler_escombrat() = default;
    virtual bool obert() const = 0;
    virtual void obre() = 0;
    virtual int ressaltada() const = 0;
    virtual void avanca() = 0;          // one scan step (the board may close)
    virtual void seguent() = 0;         // the "next" key
    virtual void prem(int ressaltada) = 0; // a press on that tile
};

class pulsador_tauler {
public:
    struct temps {
        int obertura = 0;  // ms the switch is held to open the board; 0: never
        int escombrat = 1500;
        int tecla_seguent = 0;
        int acceptacio = 0; // ms a press waits in the switch stage before it reaches the board
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
    int ressaltada_a(double segons) const;

    rellotge& rellotge_;
    tauler_escombrat& tauler_;
    std::unique_ptr<temporitzador> escombrat_, premuda_;
    temps temps_;
    bool premut_ = false;
    bool premsa_del_tauler_ = false;      // the press held now was the board's: so is its release
    bool alliberament_del_tauler_ = false; // the last release was the board's (a key's repeat goes on with it)
    double alliberat_a_ = -1;
    // The scan's recent steps: when each came and the tile highlighted before it.
    std::deque<std::pair<double, int>> passos_;
};

} // namespace brisola
