#include "modul_joystic.h"

namespace brisola {

bool modul_joystic::joy_detecta(int16_t& numero) {
    if (sistema_.joyGetPos(uint32_t(uint16_t(numero)), estat_.joy_lectura) != JOYERR_NOERROR) return false;
    estat_.joy_trobat = int16_t(numero + 1);
    return true;
}

} // namespace brisola
