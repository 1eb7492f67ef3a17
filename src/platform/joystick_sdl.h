#pragma once
// Joysticks in SDL's order; an axis value v of SDL reads as v + 32768.
#include "joystick_sistema.h"

#include <map>

struct _SDL_Joystick;

namespace brisola {

class joystick_sdl : public joystick_sistema {
public:
    joystick_sdl();
    ~joystick_sdl() override;
    uint32_t joyGetPos(uint32_t numero, JOYINFO& lectura) override;

private:
    _SDL_Joystick* obert(int numero);
    std::map<int, _SDL_Joystick*> oberts_;
    bool iniciat_ = false;
};

} // namespace brisola
