// The joystick timer, and the "Joystick" item following joysticks plugged in or out.
#include "app/finestra_main.h"
#include "platform/caixa_imatge.h"
#include "platform/control_mobil.h"
#include "platform/numeros.h"

#include <cmath>

namespace brisola {

void finestra_main::t_joy_Timer() {
    serveis_.joystick.joyGetPos(0, estat.joy_lectura); // a stick that stopped answering leaves the pointer where it was
    continua_si_falla([&] {
        // 66000, not 65536: a stick fully right or down stops short of the frame's edge (635, 477).
        double jx = nearest(estat.joy_lectura.wXpos * 640.0 / 66000);
        double jy = nearest(estat.joy_lectura.wYpos * 480.0 / 66000);
        double cx = divideix(cursor_actiu->Left() * 640.0, pantalla->ScaleWidth());
        double cy = divideix(cursor_actiu->Top() * 480.0, pantalla->ScaleHeight());
        // A stick trembling by less than 2 units around the cursor leaves the pointer still.
        if (std::fabs(cx - jx) < 2) jx = cx;
        if (std::fabs(cy - jy) < 2) jy = cy;
        int16_t vertical = nearest(jy), horitzontal = nearest(jx);
        int32_t interval = t_joy->Interval();
        MUS(vertical, horitzontal, interval); // t_joy keeps its 10 ms whatever MUS returns
    });
}

void finestra_main::joystick_canviat() {
    estat.joy_trobat = 0;
    prova_joystick();
}

} // namespace brisola
