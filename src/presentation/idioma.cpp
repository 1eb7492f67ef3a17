// The language menu and the about message.
#include "app/finestra_main.h"
#include "platform/fitxer_ini.h"
#include "platform/missatges.h"
#include "presentation/inici.h"
#include "presentation/traduccio.h"
#include "presentation/traduccio_qt.h"

#include <QLabel>

namespace brisola {

void finestra_main::traduir_formulari() {
    brisola::traduir_formulari("main", estat.idioma, Controls());
    // Qt's own dialogs speak the interface language too: their catalogue lives with the window.
    auto* qt = findChild<traduccio_qt*>(QString(), Qt::FindDirectChildrenOnly);
    if (!qt) qt = new traduccio_qt(this);
    qt->tria(estat.idioma);
    Image1->setPixmap(imatge_inici(serveis_.dades + "/inici.svg", estat.idioma));
}

void finestra_main::mn_idioma_Click(int16_t Index) {
    static const char* const idiomes[] = {"catala", "español", "galego"};
    if (Index < 0 || Index > 2) return;
    for (int16_t i = 0; i < 3; ++i) mn_idioma.set_Checked(i, false);
    estat.idioma = QString::fromUtf8(idiomes[Index]);
    mn_idioma.set_Checked(Index, true);
    // A folder we may not write to keeps the choice for this run only.
    WritePrivateProfileStringA("inici", "idioma", estat.idioma, fitxer_ini());
    traduir_formulari();
    update();
}

void finestra_main::mn_aj_Click() {
    serveis_.caixes.MsgBox("Brisola v 2.0\rFet per l'equip de Brisola, 2005–2007\rhttps://brisola.example.org",
                           "Brisola");
}

} // namespace brisola
