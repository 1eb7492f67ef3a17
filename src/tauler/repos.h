#pragma once
// Choosing by resting: a tile is chosen once the pointer has stayed on it for
// the dwell time. A tremor within the tolerance keeps the dwell going;
// moving off drains it at the pace it filled, so that a slip does not start
// it afresh; after a choice the pointer must leave that place first.
#include <QPointF>
#include <QRectF>

#include <optional>
#include <vector>

namespace brisola {

class repos {
public:
    void set_parametres(double segons, double tolerancia);
    // One look, `dt` seconds after the last: the pointer (none when it cannot
    // be trusted, as a tracker that lost its object) over these tiles. The tile
    // chosen, or -1.
    int mira(const QPointF* punt, const std::vector<QRectF>& rajoles, double dt);
    // The layout changed: the dwell starts afresh, away from the place just chosen.
    void reinicia();
    // Nothing is chosen until the pointer has left this place (instead of any other).
    void bloqueja(const QRectF& lloc);
    // No place need be left first.
    void allibera() { bloqueig_.reset(); }
    int objectiu() const { return objectiu_; }
    double progres() const { return progres_; }

private:
    bool prop(const QRectF& r, const QPointF& p) const;

    double segons_ = 1.5, tolerancia_ = 0;
    int objectiu_ = -1;
    double progres_ = 0;
    std::optional<QRectF> bloqueig_; // the place of the last choice, until the pointer leaves it
};

} // namespace brisola
