// The access menu: which source moves the pointer, and the pointer options.
#include "app/finestra_main.h"
#include "platform/caixa_imatge.h"
#include "platform/control_mobil.h"
#include "platform/tintseer_biblioteca.h"
#include "presentation/imatges.h"

#include <QGroupBox>
#include <QResizeEvent>

namespace brisola {

void finestra_main::mn_acces_Click(int16_t Index) {
    t_joy->set_Enabled(false);
    t_tintseer->set_Enabled(false);
    T_mouse->set_Enabled(false);
    if (estat.tempo == 0) estat.tempo = 400;
    pantalla->show();
    Frame2->hide();
    if (seguidor_estat == 1) serveis_.tintseer.TintseerFinalitza();
    switch (Index) {
    case 0:
        T_mouse->set_Interval(10);
        T_mouse->set_Enabled(true);
        mn_inv.set_Checked(0, true);
        break;
    case 1:
        seguidor_estat = serveis_.tintseer.TintseerInicialitza(0);
        seguidor_lloc = {0, 0};
        t_tintseer->set_Interval(100);
        t_tintseer->set_Enabled(true);
        break;
    case 2:
        t_joy->set_Interval(10);
        t_joy->set_Enabled(true);
        break;
    case 3:
        T_mouse->set_Interval(1000);
        mn_inv.set_Checked(0, true);
        if (estat.canco_actual != 0) reproductor.SetSongTempo(1);
        break;
    default: break;
    }
    for (int i = 0; i < mn_acces.size(); ++i) mn_acces.set_Checked(int16_t(i), false);
    // The switch plays only while held: choosing it leaves the accompaniment as its release does.
    if (Index == 3) t_acords->set_Enabled(false);
    t_ritmes->set_Enabled(estat.ritme_actiu != 0 && Index != 3);
    if (Index < 0 || Index > 3) return;
    Frame1->hide();
    showMaximized();
    mostra_superficie();
    if (!estat.fons_fitxer.isEmpty()) imatge_dibuixa(estat.fons_fitxer, *pantalla);
    cursor_actiu->show();
    mn_acces.set_Checked(Index, true);
}

void finestra_main::mn_inv_Click(int16_t Index) { mn_inv.set_Checked(Index, !mn_inv.Checked(Index)); }

void finestra_main::mn_pos_Click(int16_t Index) {
    mn_pos.set_Checked(0, false);
    mn_pos.set_Checked(1, false);
    mn_pos.set_Checked(Index, true);
}

void finestra_main::mostra_superficie() { pantalla->setGeometry(centralWidget()->rect()); }

void finestra_main::resizeEvent(QResizeEvent* event) {
    QMainWindow::resizeEvent(event);
    // Maximising happens after the access choice returns: keep the surface covering the window.
    if (pantalla && pantalla->isVisible() && pantalla->pos() == QPoint(0, 0)) mostra_superficie();
}

} // namespace brisola
