// The options menu: test panel, the tracker's calibration, and exit.
#include "app/finestra_main.h"
#include "platform/caixa_imatge.h"
#include "platform/tintseer_biblioteca.h"
#include "platform/twips.h"

#include <QGroupBox>

namespace brisola {

void finestra_main::mn_opcions_Click(int16_t Index) {
    t_joy->set_Enabled(false);
    t_tintseer->set_Enabled(false);
    T_mouse->set_Enabled(false);
    Frame2->hide();
    if (seguidor_estat == 1) serveis_.tintseer.TintseerFinalitza();
    switch (Index) {
    case 0:
        Frame1->show();
        showNormal();
        Frame1->setGeometry(0, 0, centralWidget()->width(), centralWidget()->height());
        pantalla->setGeometry(twips(0, 8040, 1815, 1815));
        break;
    case 1:
        estat.seguidor_finestra = seguidor_calibra();
        if (estat.seguidor_finestra != 0) {
            T_controll_tintseer->set_Enabled(true);
            mn_op[0]->setEnabled(false);
            mn_acc[0]->setEnabled(false);
        }
        break;
    case 2: {
        int16_t Cancel = 0;
        Form_Unload(Cancel);
        serveis_.acaba_programa();
        break;
    }
    default: break;
    }
}

} // namespace brisola
