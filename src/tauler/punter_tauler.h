#pragma once
// The board's pointer: where the access method points, on the board's own
// scale, and the rest on the places that can be chosen, looked at on a clock
// of its own. While the board is closed it is the drawn cursor; while it is
// open the surface stands still, so it is the access method's own place,
// mirrored as the cursor would be. A tracker that does not see its object,
// and a mouse gone from the window, point nowhere.
#include "tauler/repos.h"

#include <QPointF>
#include <QRectF>
#include <QSizeF>

#include <functional>
#include <memory>
#include <optional>
#include <vector>

class QEvent;

namespace brisola {

class joystick_sistema;
class rellotge;
class temporitzador;
class tintseer_biblioteca;

class punter_tauler {
public:
    static constexpr int mirada_ms = 50;

    // What the window shows, read at each look.
    struct vista {
        int acces = -1; // the access item ticked: mouse, tracker, joystick, switch; -1: none
        bool invertir_x = false, invertir_y = false;
        QSizeF mida;                   // the board's
        std::optional<QPointF> cursor; // the drawn cursor's centre while the board is closed
        QPointF ratoli;                // the mouse, as a fraction of the surface
    };
    struct fonts {
        std::function<vista()> vista_actual;
        std::function<std::vector<QRectF>()> llocs; // the places that can be chosen now
        std::function<void(int)> triat;             // one was rested on for the dwell time
        std::function<void(bool)> mirat;            // a look chose nothing; true: another place is rested on
    };

    punter_tauler(rellotge& r, tintseer_biblioteca& tintseer, joystick_sistema& joystick, fonts f);
    ~punter_tauler();

    void set_parametres(double segons, double tolerancia) { repos_.set_parametres(segons, tolerancia); }
    void mira_si(bool mira);
    // The places changed: the rest starts afresh.
    void reinicia() { repos_.reinicia(); }
    // The board opened under the pointer: a rest starts once it has moved.
    void espera_moviment();
    // What is shown now is chosen by resting anywhere: no place need be left first.
    void allibera() { repos_.allibera(); }
    // The surface's events: a mouse leaves and comes back.
    void veu(const QEvent& event);

    std::optional<QPointF> llegeix(const vista& v) const;
    const std::optional<QPointF>& punt() const { return punt_; }
    int objectiu() const { return repos_.objectiu(); }
    double progres() const { return repos_.progres(); }

private:
    std::optional<QPointF> lloc_propi(const vista& v) const;
    void mira();

    rellotge& rellotge_;
    tintseer_biblioteca& tintseer_;
    joystick_sistema& joystick_;
    fonts fonts_;
    std::unique_ptr<temporitzador> mirada_;
    repos repos_;
    std::optional<QPointF> punt_;
    bool ratoli_fora_ = false;
    double darrera_mirada_ = 0;
};

} // namespace brisola
