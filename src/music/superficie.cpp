// The performance surface's mouse handling and the mouse timer: the mouse
// moves the pointer, or a single switch plays from random points while held.
#include "app/finestra_main.h"
#include "music/tecla_pulsador.h"
#include "platform/caixa_imatge.h"
#include "platform/control_mobil.h"
#include "platform/numeros.h"

#include <QKeyEvent>

namespace brisola {

void finestra_main::pantalla_MouseMove(int, int, float X, float Y) {
    if (!mn_acces.Checked(0)) return;
    continua_si_falla([&] {
        estat.ratoli_x = nearest(X);
        estat.ratoli_y = nearest(Y);
    });
}

void finestra_main::pantalla_Click() {
    if (!pulsador()) return;
    std::uniform_real_distribution<double> r(0.0, 1.0);
    double r1 = r(aleatori), r2 = r(aleatori);
    continua_si_falla([&] {
        estat.ratoli_x = floor16(r1 * pantalla->ScaleWidth() * 0.99);
        estat.ratoli_y = floor16(r2 * pantalla->ScaleHeight() * 0.99);
    });
}

void finestra_main::pantalla_MouseDown(int, int, float, float) {
    if (!pulsador()) return;
    if (estat.ritme_actiu) {
        // Restart the drum timer's count from the press.
        int interval = t_ritmes->Interval();
        t_ritmes->set_Interval(1);
        t_ritmes->set_Enabled(estat.ritme_actiu != 0);
        t_ritmes->set_Interval(interval);
    }
    if (estat.canco_actual == 0) {
        T_mouse_Timer();
        T_mouse->set_Enabled(true);
        return;
    }
    cursor_actiu->Move(estat.ratoli_x, estat.ratoli_y);
    if (estat.fons_fitxer.isEmpty()) {
        // Computed wide: only the saturated value matters.
        continua_si_falla([&] {
            long long l = nearest32(cursor_actiu->Left()), t = nearest32(cursor_actiu->Top());
            pantalla->set_BackColor(QColor(int(std::clamp(l * 2, 0LL, 255LL)),
                                           int(std::clamp<long long>(nearest32(t * 255.0 / 640), 0, 255)),
                                           int(std::clamp(l + 120, 0LL, 255LL))));
        });
    }
    reproductor.SetSongTempo(estat.canco_tempo);
}

void finestra_main::pantalla_MouseUp(int, int, float, float) {
    if (!pulsador()) return;
    T_mouse->set_Enabled(false);
    t_acords->set_Enabled(false);
    t_ritmes->set_Enabled(false);
    if (estat.canco_actual != 0) reproductor.SetSongTempo(1);
}

void finestra_main::T_mouse_Timer() {
    continua_si_falla([&] {
        int16_t x = nearest(divideix(estat.ratoli_x * 640.0, pantalla->ScaleWidth()));
        int16_t y = nearest(divideix(estat.ratoli_y * 480.0, pantalla->ScaleHeight()));
        int32_t iv = T_mouse->Interval();
        int32_t r = MUS(y, x, iv);
        T_mouse->set_Interval(r);
    });
}

void finestra_main::keyPressEvent(QKeyEvent* event) {
    if (!pulsador() || !tecla_de_pulsador(*event)) return QMainWindow::keyPressEvent(event);
    tecla_pulsador_ = event->key();
    executa(&pantalla, [this] { pantalla_MouseDown(1, 0, 0, 0); });
}

void finestra_main::keyReleaseEvent(QKeyEvent* event) {
    // Only the key that pressed the switch lets it go: the release of a shortcut's key is not a switch.
    if (event->isAutoRepeat() || event->key() != tecla_pulsador_) return QMainWindow::keyReleaseEvent(event);
    tecla_pulsador_ = 0;
    if (!pulsador()) return;
    executa(&pantalla, [this] {
        pantalla_MouseUp(1, 0, 0, 0);
        pantalla_Click();
    });
}

} // namespace brisola
