#pragma once
// modul_joystic: the joystick probe and reading.
#include "app/estat.h"

namespace brisola {

class modul_joystic {
public:
    modul_joystic(estat_compartit& estat, joystick_sistema& sistema) : estat_(estat), sistema_(sistema) {}
    // Whether that joystick answers; on success joy_trobat = numero + 1.
    bool joy_detecta(int16_t& numero);

private:
    estat_compartit& estat_;
    joystick_sistema& sistema_;
};

} // namespace brisola
