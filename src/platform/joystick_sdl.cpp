#include "joystick_sdl.h"

#include <QTimer>

#include <SDL.h>

namespace brisola {

joystick_sdl::joystick_sdl() {
    SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
    // Read from the window's timers, never from an SDL event loop.
    SDL_SetHint(SDL_HINT_JOYSTICK_ALLOW_BACKGROUND_EVENTS, "1");
    iniciat_ = SDL_InitSubSystem(SDL_INIT_JOYSTICK) == 0;
    if (!iniciat_) return;
    // Nobody reads SDL's event queue: the filter hears of devices and lets nothing pile up there.
    SDL_SetEventFilter(&joystick_sdl::filtre, this);
    // A node appearing in /dev/input wakes SDL's own device detection, once udev has had its moment.
    if (dispositius_.addPath("/dev/input"))
        QObject::connect(&dispositius_, &QFileSystemWatcher::directoryChanged, &dispositius_,
                         [this] { QTimer::singleShot(500, &dispositius_, [] { SDL_JoystickUpdate(); }); });
}

int joystick_sdl::filtre(void* jo, SDL_Event* event) {
    if (event->type == SDL_JOYDEVICEADDED || event->type == SDL_JOYDEVICEREMOVED)
        static_cast<joystick_sdl*>(jo)->avisa_canvi();
    return 0;
}

joystick_sdl::~joystick_sdl() {
    if (iniciat_) SDL_SetEventFilter(nullptr, nullptr);
    for (auto& [numero, joy] : oberts_) SDL_JoystickClose(joy);
    if (iniciat_) SDL_QuitSubSystem(SDL_INIT_JOYSTICK);
}

_SDL_Joystick* joystick_sdl::obert(int numero) {
    auto it = oberts_.find(numero);
    if (it != oberts_.end() && SDL_JoystickGetAttached(it->second)) return it->second;
    if (it != oberts_.end()) {
        SDL_JoystickClose(it->second);
        oberts_.erase(it);
    }
    if (numero >= SDL_NumJoysticks()) return nullptr;
    SDL_Joystick* joy = SDL_JoystickOpen(numero);
    if (joy) oberts_[numero] = joy;
    return joy;
}

uint32_t joystick_sdl::joyGetPos(uint32_t numero, JOYINFO& lectura) {
    if (!iniciat_ || numero > 15) return JOYERR_PARMS;
    SDL_JoystickUpdate();
    SDL_Joystick* joy = obert(int(numero));
    if (!joy) return JOYERR_UNPLUGGED;
    auto eix = [joy](int n) {
        return n < SDL_JoystickNumAxes(joy) ? uint32_t(SDL_JoystickGetAxis(joy, n) + 32768) : 32768u;
    };
    lectura.wXpos = eix(0);
    lectura.wYpos = eix(1);
    lectura.wZpos = eix(2);
    lectura.wButtons = 0;
    for (int b = 0; b < SDL_JoystickNumButtons(joy) && b < 32; ++b)
        if (SDL_JoystickGetButton(joy, b)) lectura.wButtons |= 1u << b;
    return JOYERR_NOERROR;
}

} // namespace brisola
