#pragma once
// Moving through the board: the groups, a group's tiles, and back. A scan
// step moves the highlight on; three rounds of the tiles shown with nothing
// chosen close the board, however deep the person is.
#include "tauler/rajoles.h"

namespace brisola {

class navegacio {
public:
    static constexpr int voltes_sense_res = 3;

    // `grups`: the board's first tiles (the groups, the choices of their own and "Tornar a tocar").
    explicit navegacio(std::vector<rajola> grups);

    const std::vector<rajola>& rajoles() const;
    int ressaltada() const { return index_; }

    // One scan step; false when the idle rounds closed the board.
    bool avanca();
    // The highlight one tile on, by the person's "next" key: no idle rounds are counted.
    void seguent();
    // The tile chosen: a group opens, "Tornar" goes back; a choice (or "Tornar a tocar")
    // is returned for the board to run once it has closed; none while the board stays open.
    const rajola* tria(int index);

private:
    rajola arrel_;
    std::vector<int> cami_; // the groups opened, from the first tiles
    int index_ = 0;
    int voltes_ = 0;
};

} // namespace brisola
