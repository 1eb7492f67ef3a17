// The selection menus' shared steps.
#include "app/finestra_main.h"

namespace brisola {

void finestra_main::engega_patrons() {
    t_acords->set_Interval(estat.tempo);
    t_ritmes->set_Interval(estat.tempo * 4);
    t_acords_Timer();
    t_acords->set_Enabled(true);
    t_ritmes->set_Enabled(true);
}

} // namespace brisola
