#pragma once
// The aids in force, applied where each acts: the pointer stage (reach,
// smoothing), the switch stage (its times), the sound's levels and what is
// drawn over the surface. With the defaults the instrument is the seed's.
#include "persones/capa_superficie.h"
#include "persones/etapa_pulsador.h"
#include "persones/persona.h"

#include <QObject>

#include <functional>

namespace brisola {

class etapa_punter;
class finestra_main;
class volum_sistema;

class ajustos_persona : public QObject {
public:
    // Either stage or the levels may be missing (a window on its own in a test).
    ajustos_persona(finestra_main& w, etapa_punter* punter, volum_sistema* volum);

    const ajuts& valors() const { return valors_; }
    void aplica(const ajuts& a);

    etapa_punter* punter() { return punter_; }
    capa_superficie& capa() { return capa_; }
    etapa_pulsador& pulsador() { return pulsador_; }
    // Told after every change of the aids.
    void on_canvi(std::function<void()> avis) { avis_ = std::move(avis); }

private:
    // The drums are the accompaniment's unless they are the person's own ("Bateria").
    void aplica_nivells();

    finestra_main& w_;
    etapa_punter* punter_;
    volum_sistema* volum_;
    etapa_pulsador pulsador_;
    capa_superficie capa_;
    ajuts valors_;
    std::function<void()> avis_;
};

} // namespace brisola
