#pragma once
// The system's joystick reading: axes 0..65535, 0 (JOYERR_NOERROR) when the
// joystick answered.
#include <cstdint>
#include <functional>

namespace brisola {

struct JOYINFO {
    uint32_t wXpos = 0, wYpos = 0, wZpos = 0, wButtons = 0;
};

enum : uint32_t { JOYERR_NOERROR = 0, JOYERR_PARMS = 165, JOYERR_UNPLUGGED = 167 };

class joystick_sistema {
public:
    virtual ~joystick_sistema() = default;
    virtual uint32_t joyGetPos(uint32_t numero, JOYINFO& lectura) = 0;
    // Told when a joystick may have been plugged in or out. It can come from
    // inside a reading, so the listener only takes note and acts later.
    void on_canvi(std::function<void()> avis) { avis_ = std::move(avis); }

protected:
    void avisa_canvi() const {
        if (avis_) avis_();
    }

private:
    std::function<void()> avis_;
};

} // namespace brisola
