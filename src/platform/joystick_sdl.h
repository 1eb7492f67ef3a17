#pragma once
// Joysticks in SDL's order; an axis value v of SDL reads as v + 32768.
// Plugging one in or out is told through SDL's device events, which SDL
// notices when /dev/input changes: nothing is polled while the program idles.
#include "joystick_sistema.h"

#include <QFileSystemWatcher>

#include <map>

struct _SDL_Joystick;
union SDL_Event;

namespace brisola {

class joystick_sdl : public joystick_sistema {
public:
    joystick_sdl();
    ~joystick_sdl() override;
    uint32_t joyGetPos(uint32_t numero, JOYINFO& lectura) override;

private:
    static int filtre(void* jo, SDL_Event* event);
    _SDL_Joystick* obert(int numero);
    QFileSystemWatcher dispositius_;
    std::map<int, _SDL_Joystick*> oberts_;
    bool iniciat_ = false;
};

} // namespace brisola
