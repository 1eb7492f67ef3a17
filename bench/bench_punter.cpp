// What each smoothing preset does to a hand's tremor: a slow sweep with a
// 5 Hz shake on it, smoothed at the pointer stage's own 100 Hz; how much of
// the shake is left and how far the smoothed path lags behind the sweep.
#include "persones/suavitzat.h"

#include <cmath>
#include <complex>
#include <cstdio>
#include <vector>

using namespace brisola;

namespace {

constexpr double pi = 3.141592653589793;
constexpr double dt = 0.01;
constexpr double segons = 20;
constexpr double descart = 4; // the filter's start is left out of the measures

double escombrat(double t) { return 320 + 250 * std::sin(2 * pi * 0.5 * t); }
double tremolor(double t) { return 15 * std::sin(2 * pi * 5 * t); }

// The amplitude of the 5 Hz component over the measured stretch.
double a_5_hz(const std::vector<double>& senyal) {
    std::complex<double> suma;
    int n = 0;
    for (size_t i = size_t(descart / dt); i < senyal.size(); ++i, ++n)
        suma += senyal[i] * std::polar(1.0, -2 * pi * 5 * double(i) * dt);
    return 2 * std::abs(suma) / n;
}

// The shift of the clean sweep, to the millisecond, that leaves the least error.
double retard_ms(const std::vector<double>& suau) {
    double millor = 0, error_minim = INFINITY;
    for (int ms = 0; ms <= 400; ++ms) {
        double error = 0;
        for (size_t i = size_t(descart / dt); i < suau.size(); ++i) {
            double d = suau[i] - escombrat(double(i) * dt - ms / 1000.0);
            error += d * d;
        }
        if (error < error_minim) error_minim = error, millor = ms;
    }
    return millor;
}

void mesura(const char* nom, nivell_suavitzat nivell) {
    suavitzador s;
    s.set_parametres(parametres_de(nivell));
    std::vector<double> entrada, sortida;
    for (double t = 0; t < segons; t += dt) {
        double x = escombrat(t) + tremolor(t);
        entrada.push_back(x);
        sortida.push_back(s.filtra(x, 240, dt)[0]);
    }
    double db = 20 * std::log10(a_5_hz(entrada) / a_5_hz(sortida));
    std::printf("smoothing %s: tremor -%.1f dB, lag %.0f ms\n", nom, db, retard_ms(sortida));
}

} // namespace

int main() {
    mesura("Light", nivell_suavitzat::lleuger);
    mesura("Strong", nivell_suavitzat::fort);
    return 0;
}
