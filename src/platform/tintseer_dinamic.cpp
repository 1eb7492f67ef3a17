#include "tintseer_dinamic.h"

namespace brisola {

tintseer_dinamic::tintseer_dinamic(const QString& directori) : biblioteca_(directori + "/libtintseer") {}

bool tintseer_dinamic::carregada() {
    if (!intentada_ && biblioteca_.load()) {
        inicialitza_ = reinterpret_cast<decltype(inicialitza_)>(biblioteca_.resolve("TintseerInicialitza"));
        posicio_ = reinterpret_cast<decltype(posicio_)>(biblioteca_.resolve("TintseerObtenirPosicio"));
        finalitza_ = reinterpret_cast<decltype(finalitza_)>(biblioteca_.resolve("TintseerFinalitza"));
    }
    intentada_ = true;
    return inicialitza_ && posicio_ && finalitza_;
}

int16_t tintseer_dinamic::TintseerInicialitza(int32_t seleccio) {
    return carregada() ? inicialitza_(seleccio) : 0;
}

void tintseer_dinamic::TintseerObtenirPosicio(int16_t& vertical, int16_t& horitzontal) {
    if (carregada()) posicio_(&vertical, &horitzontal);
}

void tintseer_dinamic::TintseerFinalitza() {
    if (carregada()) finalitza_();
}

} // namespace brisola
