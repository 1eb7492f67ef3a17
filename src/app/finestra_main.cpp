#include "app/finestra_main.h"

#include "platform/caixa_imatge.h"
#include "platform/fitxer_ini.h"
#include "platform/forma.h"
#include "platform/llista.h"
#include "platform/joystick_sistema.h"
#include "platform/missatges.h"
#include "platform/twips.h"

#include <QCloseEvent>
#include <QMenuBar>
#include <QPushButton>
#include <QScrollBar>

namespace brisola {

finestra_main::finestra_main(serveis& s)
    : serveis_(s),
      midi_out(estat, s.midi, s.caixes),
      midi_cmd(midi_out),
      reproductor(estat, s.media, midi_out, s.caixes, {s.directori, s.dades}),
      joystick(estat, s.joystick),
      sonda_webcam(estat, s.captura),
      fitxer_ini_(cami_sense_majuscules(s.directori, "brisola.ini")) {
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

// The joystick layer outlives the window: it must not tell a window that is gone.
finestra_main::~finestra_main() { serveis_.joystick.on_canvi(nullptr); }

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
    menu(fmus, &finestra_main::fmus_Click);
    menu(rmus, &finestra_main::rmus_Click);
    menu(CMUS, &finestra_main::CMUS_Click);
    menu(mn_ritme, &finestra_main::mn_ritme_Click);
    menu(mn_inst, &finestra_main::mn_inst_Click);
    menu(mn_instrument, &finestra_main::mn_instrument_Click);
    menu(mn_img, &finestra_main::mn_img_Click);
    menu(mn_carat, &finestra_main::mn_carat_Click);
    QObject::connect(mn_aj, &QAction::triggered, this, [this] { executa(mn_aj, [this] { mn_aj_Click(); }); });
    List1->on_Click([this] { executa(List1, [this] { List1_Click(); }); });
    lst_sound_list->on_Click([this] { executa(lst_sound_list, [this] { lst_sound_list_Click(); }); });
    auto boto = [this](QPushButton* b, void (finestra_main::*handler)()) {
        QObject::connect(b, &QPushButton::clicked, this, [this, b, handler] { executa(b, [this, handler] { (this->*handler)(); }); });
    };
    boto(Command1, &finestra_main::Command1_Click);
    boto(Command2, &finestra_main::Command2_Click);
    boto(Command5, &finestra_main::Command5_Click);
    QObject::connect(sb_play, &QScrollBar::valueChanged, this, [this] { executa(sb_play, [this] { sb_play_Change(); }); });

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
    Picture1->on_MouseDown(ratoli(&finestra_main::Picture1_MouseDown, Picture1));
    Picture1->on_MouseUp(ratoli(&finestra_main::Picture1_MouseUp, Picture1));
    Bender->on_MouseMove(ratoli(&finestra_main::Bender_MouseMove, Bender));
    connecta(*T_mouse, [this] { T_mouse_Timer(); });
    connecta(*t_joy, [this] { t_joy_Timer(); });
    connecta(*t_tintseer, [this] { t_tintseer_Timer(); });
    connecta(*T_controll_tintseer, [this] { T_controll_tintseer_Timer(); });
    serveis_.joystick.on_canvi([this] {
        QMetaObject::invokeMethod(this, [this] { executa(&joystick, [this] { joystick_canviat(); }); }, Qt::QueuedConnection);
    });
    connecta(*t_acords, [this] { t_acords_Timer(); });
    connecta(*t_ritmes, [this] { t_ritmes_Timer(); });
}

void finestra_main::avisa(avis a, const QStringList& dades) {
    avisos_pendents_.emplace_back(a, dades);
    if (isVisible()) mostra_avisos_pendents();
}

void finestra_main::mostra_avisos_pendents() {
    for (auto& [a, dades] : std::exchange(avisos_pendents_, {})) {
        QString text = text_avis(a, estat.idioma, dades);
        if (!avisos_mostrats_.contains(text)) serveis_.caixes.avisa(text);
        avisos_mostrats_.insert(text);
    }
}

void finestra_main::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    mostra_avisos_pendents();
}

void finestra_main::closeEvent(QCloseEvent* event) {
    if (descarregada_) return event->accept();
    event->ignore();
    bool diferida = torn_handlers.ocupat();
    executa(this, [this, diferida] {
        int16_t Cancel = 0;
        Form_Unload(Cancel);
        descarregada_ = Cancel == 0;
        // Behind another handler the close event is long gone: close anew.
        if (descarregada_ && diferida) QMetaObject::invokeMethod(this, &QWidget::close, Qt::QueuedConnection);
    });
    if (!diferida) event->setAccepted(descarregada_);
}

} // namespace brisola
