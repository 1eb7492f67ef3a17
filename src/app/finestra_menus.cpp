// The window's menu tree with its Catalan captions, access letters and shortcuts.
#include "app/finestra_main.h"

#include <QMenu>
#include <QMenuBar>

namespace brisola {

void finestra_main::crea_menus() {
    QMenuBar* barra = menuBar();

    QMenu* opcions = mn_op.afegeix_submenu(barra, "&Opcions");
    QMenu* idioma = opcions->addMenu("Idioma");
    mn_id = idioma->menuAction();
    mn_idioma.afegeix(idioma, "Catala");
    mn_idioma.afegeix(idioma, "Español");
    mn_idioma.afegeix(idioma, "Galego");
    mn_opcions.afegeix(opcions, "&Test Midi", QKeySequence("Ctrl+T"));
    mn_opcions.afegeix(opcions, "Calibrar Tintseer", QKeySequence("Ctrl+U"));
    mn_opcions.afegeix(opcions, "Sortir");

    QMenu* acces = mn_acc.afegeix_submenu(barra, "&Accés");
    mn_acces.afegeix(acces, "&Ratolí", QKeySequence("Ctrl+M"));
    mn_acces.afegeix(acces, "&Tintseer", QKeySequence("Ctrl+W"));
    mn_acces.afegeix(acces, "&Joystick", QKeySequence("Ctrl+J"));
    mn_acces.afegeix(acces, "&Pulsador", QKeySequence("Ctrl+A"));
    mn_inv.afegeix(acces, "Invertir &X", QKeySequence("Ctrl+X"));
    mn_inv.afegeix(acces, "Invertir &Y", QKeySequence("Ctrl+Y"));
    mn_pos.afegeix(acces, "per &posició", QKeySequence("Ctrl+P"));
    mn_pos.afegeix(acces, "per &moviment", QKeySequence("Ctrl+O"));
    mn_pos.set_Checked(0, true);

    QMenu* modalitat = barra->addMenu("&Modalitat");
    mn_mod = modalitat->menuAction();
    fmus.afegeix(modalitat, "Ritme i &notes");
    fmus.afegeix(modalitat, "&Escala i temps", QKeySequence("Ctrl+E"));
    fmus.afegeix(modalitat, "&Bateria", QKeySequence("Ctrl+B"));
    rmus.afegeix(fmus.afegeix_submenu(modalitat, "&Ritmes"), "_", QKeySequence("Ctrl+R"));
    CMUS.afegeix(fmus.afegeix_submenu(modalitat, "&Cançó"), "_", QKeySequence("Ctrl+C"));
    fmus.set_Checked(0, true);

    QMenu* auditiu = barra->addMenu("A&uditiu");
    mn_au = auditiu->menuAction();
    QMenu* ritme = mn_inst.afegeix_submenu(auditiu, "&Ritme");
    mn_ritme.afegeix(ritme, "&Lent", QKeySequence("Ctrl+L"));
    mn_ritme.afegeix(ritme, "&Normal", QKeySequence("Ctrl+N"));
    mn_ritme.afegeix(ritme, "&Ràpid", QKeySequence("Ctrl+D"));
    mn_instrument.afegeix(mn_inst.afegeix_submenu(auditiu, "&Instruments"), "Fer Silenci", QKeySequence("Ctrl+I"));
    mn_inst.afegeix(auditiu, "Fer silenci");

    QMenu* grafic = barra->addMenu("&Gràfic");
    mn_car = grafic->menuAction();
    mn_img.afegeix(grafic, "Fons amb color");
    mn_img.afegeix(grafic, "Fons amb &imatge", QKeySequence("Ctrl+F"));
    mn_img.afegeix(grafic, "Imatge cursor", QKeySequence("Ctrl+K"));
    mn_carat.afegeix(grafic, "Cursor meitad", QKeySequence("Shift+Del"));
    mn_carat.afegeix(grafic, "Cursor normal");
    mn_carat.afegeix(grafic, "Cursor doble", QKeySequence("Shift+Ins"));

    mn_aj = barra->addAction("Ajuda");
}

} // namespace brisola
