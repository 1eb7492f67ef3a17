#include "app/finestra_main.h"

#include "platform/llista.h"
#include "platform/twips.h"

#include <QCloseEvent>
#include <QMenuBar>

namespace brisola {

finestra_main::finestra_main(serveis& s)
    : serveis_(s),
      midi_out(estat, s.midi, s.caixes),
      midi_cmd(midi_out),
      reproductor(s.media),
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
    mn_opcions.on_Click([this](int16_t i) { executa(&mn_opcions, [this, i] { mn_opcions_Click(i); }); });
    List1->on_Click([this] { executa(List1, [this] { List1_Click(); }); });
}

void finestra_main::closeEvent(QCloseEvent* event) {
    int16_t Cancel = 0;
    executa(this, [this, &Cancel] { Form_Unload(Cancel); });
    event->setAccepted(Cancel == 0);
}

} // namespace brisola
