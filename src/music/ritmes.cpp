// The drum sequencer: strikes one percussion note per step on channel 9 and
// waits for the step's length.
#include "app/finestra_main.h"
#include "music/passos.h"
#include "platform/numeros.h"

namespace brisola {

void finestra_main::t_ritmes_Timer() {
    const QString pas = pas_de_cap(estat.patro_bateria, 4);
    estat.patro_bateria = gira(estat.patro_bateria, pas, 4);
    const auto f = fraccio(pas);
    std::optional<int16_t> nota;
    continua_si_falla([&] {
        int16_t n = nearest(number(pas.mid(2, 2).toStdString()));
        if (n >= 0 && n <= 127) nota = n;
    });
    if (!f || !nota) {
        // A malformed step is skipped; the drums go on at the current pace.
        if (t_ritmes->Interval() <= 0) t_ritmes->set_Interval(estat.tempo);
        return;
    }
    int16_t v = estat.posicio_compas == 0 ? 127 : 100;
    estat.velocitat = v;
    midi_out.midiOutShortMsg(0x99u + uint32_t(*nota) * 256 + uint32_t(v) * 65536);
    continua_si_falla([&] { t_ritmes->set_Interval(durada(estat.tempo, *f)); });
}

} // namespace brisola
