#include "app/finestra_main.h"

#include "platform/caixa_imatge.h"
#include "platform/forma.h"
#include "platform/llista.h"
#include "platform/twips.h"

#include <QCloseEvent>
#include <QMenuBar>

namespace brisola {

finestra_main::finestra_main(serveis& s)
    : serveis_(s),
      midi_out(estat, s.midi, s.caixes),
      midi_cmd(midi_out),
      reproductor(estat, s.media, s.directori),
      joystick(estat, s.joystick),
      sonda_webcam(estat, s.captura) {
    setWindowTitle("Brisola");
    QFont lletra("MS Sans Serif");
    lletra.setPointSizeF(8.25);
    lletra.setBold(true);
    setFont(lletra);
    area_ = new QWidget(this);
    setCentralWidget(area_);
    crea_controls();
    crea_menus();
    resize(twips(11835), twips(5670) + menuBar()->sizeHint().height());
    area_->resize(twips(11835), twips(5670));
    connecta_handlers();
    Form_Load();
}

finestra_main::~finestra_main() = default;

void finestra_main::connecta(temporitzador& timer, std::function<void()> handler) {
    timer.on_tick([this, &timer, handler = std::move(handler)] { executa(&timer, handler); });
}

void finestra_main::connecta_handlers() {
    auto menu = [this](menu_array& m, void (finestra_main::*handler)(int16_t)) {
        m.on_Click([this, &m, handler](int16_t i) { executa(&m, [this, handler, i] { (this->*handler)(i); }); });
    };
    menu(mn_idioma, &finestra_main::mn_idioma_Click);
    menu(mn_acces, &finestra_main::mn_acces_Click);
    menu(mn_inv, &finestra_main::mn_inv_Click);
    menu(mn_pos, &finestra_main::mn_pos_Click);
    menu(mn_opcions, &finestra_main::mn_opcions_Click);
    QObject::connect(mn_aj, &QAction::triggered, this, [this] { executa(mn_aj, [this] { mn_aj_Click(); }); });
    List1->on_Click([this] { executa(List1, [this] { List1_Click(); }); });
    lst_sound_list->on_Click([this] { executa(lst_sound_list, [this] { lst_sound_list_Click(); }); });

    using event_ratoli = void (finestra_main::*)(int, int, float, float);
    auto ratoli = [this](event_ratoli handler, const void* clau) {
        return [this, handler, clau](int b, int s, float x, float y) {
            executa(clau, [=, this] { (this->*handler)(b, s, x, y); });
        };
    };
    pantalla->on_MouseMove(ratoli(&finestra_main::pantalla_MouseMove, &pantalla));
    pantalla->on_MouseDown(ratoli(&finestra_main::pantalla_MouseDown, &pantalla));
    pantalla->on_MouseUp(ratoli(&finestra_main::pantalla_MouseUp, &pantalla));
    pantalla->on_Click([this] { executa(&pantalla, [this] { pantalla_Click(); }); });
    connecta(*T_mouse, [this] { T_mouse_Timer(); });
    connecta(*t_acords, [this] { t_acords_Timer(); });
    connecta(*t_ritmes, [this] { t_ritmes_Timer(); });
}

void finestra_main::closeEvent(QCloseEvent* event) {
    int16_t Cancel = 0;
    executa(this, [this, &Cancel] { Form_Unload(Cancel); });
    event->setAccepted(Cancel == 0);
}

} // namespace brisola
