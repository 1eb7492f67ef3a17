#pragma once
// Smoothing for a hand with a tremor: a One Euro filter, which follows slow
// movement closely and holds back fast small shakes, cascaded once for the
// strong preset (two first-order stages cut a 5 Hz tremor further for the
// same lag). Off passes every position as it comes.
#include <array>

namespace brisola {

enum class nivell_suavitzat { cap, lleuger, fort };

struct parametres_suavitzat {
    double fc_minima = 1.0; // Hz: the cut-off while the pointer stands still
    double beta = 0.0;      // how much the cut-off rises with speed (per unit of speed)
    int etapes = 0;         // 0: off
};

// Each preset's parameters (the settings window may fine-tune both numbers).
parametres_suavitzat parametres_de(nivell_suavitzat nivell);

class filtre_un_euro {
public:
    void set_parametres(double fc_minima, double beta);
    double filtra(double x, double dt);
    void reinicia() { primer_ = true; }

private:
    double fc_minima_ = 1, beta_ = 0;
    double x_ = 0, dx_ = 0;
    bool primer_ = true;
};

// Both axes, through the parameters' stages.
class suavitzador {
public:
    void set_parametres(const parametres_suavitzat& p);
    const parametres_suavitzat& parametres() const { return p_; }
    bool actiu() const { return p_.etapes > 0; }
    std::array<double, 2> filtra(double x, double y, double dt);
    void reinicia();

private:
    parametres_suavitzat p_;
    std::array<filtre_un_euro, 4> filtres_; // x and y of each of two stages
};

} // namespace brisola
