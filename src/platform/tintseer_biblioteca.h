#pragma once
// The colour tracker's library, loaded at run time.
#include <cstdint>

namespace brisola {

class tintseer_biblioteca {
public:
    virtual ~tintseer_biblioteca() = default;
    // False when the library could not be loaded; the calls then do nothing and start returns 0.
    virtual bool carregada() = 0;
    virtual int16_t TintseerInicialitza(int32_t seleccio) = 0;
    virtual void TintseerObtenirPosicio(int16_t& vertical, int16_t& horitzontal) = 0;
    virtual void TintseerFinalitza() = 0;
};

} // namespace brisola
