// The chord player: steps through the rhythm's progression on t_acords,
// publishing the chord the pointer picks from, the bar's accents and the bar
// line on which the drums join.
#include "app/finestra_main.h"
#include "music/passos.h"
#include "music/taula_acords.h"
#include "platform/missatges.h"
#include "platform/numeros.h"

namespace brisola {

QString finestra_main::ChordNotes(const QString& codi) {
    if (auto llista = llista_acord(codi)) return *llista;
    serveis_.caixes.MsgBox(codi);
    return {};
}

void finestra_main::t_acords_Timer() {
    const QString pas = pas_de_cap(estat.patro_acords, 5);
    const auto f = fraccio(pas);
    if (!f) {
        // A step with no length is skipped; the progression goes on at the current pace.
        estat.patro_acords = gira(estat.patro_acords, pas, 5);
        if (t_acords->Interval() <= 0) t_acords->set_Interval(estat.tempo);
        return;
    }
    continua_si_falla([&] {
        int16_t b = nearest(estat.posicio_compas);
        // With no beats per bar only the very first step stands on a bar line.
        bool linia = estat.temps_compas == 0 ? estat.posicio_compas == 0 : b % estat.temps_compas == 0;
        if (!linia) {
            estat.velocitat = 80;
            return;
        }
        if (estat.posicio_compas != 0 && !t_ritmes->Enabled()) t_ritmes->set_Enabled(true);
        estat.velocitat = 127;
        estat.posicio_compas = 0;
    });
    const QString codi = pas.mid(2, 2);
    estat.acord_notes = ChordNotes(codi);
    long t = long(leading_number(QString(pas[4]).toStdString()));
    estat.acord_base = QString::number(es_nom_de_nota(codi) ? t * 12 : t);
    estat.patro_acords = gira(estat.patro_acords, pas, 5);
    estat.posicio_compas += 4 * *f;
    continua_si_falla([&] { t_acords->set_Interval(durada(estat.tempo, *f)); });
}

} // namespace brisola
