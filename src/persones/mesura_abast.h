#pragma once
// Measuring a person's reach: for ten seconds they move as far as is
// comfortable; the pointer's place is taken 50 times a second, and the box
// holding the middle 96 % of the places is their reach.
#include "persones/abast.h"

#include <array>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

namespace brisola {

class rellotge;
class temporitzador;

class mesura_abast {
public:
    static constexpr int durada_s = 10;
    static constexpr int periode_ms = 20;
    using punt = std::optional<std::array<double, 2>>;

    // `cru`: where the pointer is, before any adjustment. `mostra`: the reach so
    // far and the seconds left, after each sample. `fet`: the reach (none when
    // the person hardly moved or it was stopped).
    mesura_abast(rellotge& temps, std::function<punt()> cru,
                 std::function<void(std::optional<caixa_abast>, int)> mostra,
                 std::function<void(std::optional<caixa_abast>)> fet);
    ~mesura_abast();

    void comenca();
    void atura();
    bool en_marxa() const;

private:
    void mostreja();

    rellotge& temps_;
    std::unique_ptr<temporitzador> mostreig_;
    std::function<punt()> cru_;
    std::function<void(std::optional<caixa_abast>, int)> mostra_;
    std::function<void(std::optional<caixa_abast>)> fet_;
    std::vector<std::array<double, 2>> posicions_;
    punt abans_; // where the pointer stood when the measure began, until it moves
    double inici_ = 0;
};

// Where a box of an input's range shows on the surface: the cursor is drawn
// mirrored on each axis unless "Invertir" says otherwise.
caixa_abast a_la_superficie(const caixa_abast& c, bool invertir_x, bool invertir_y);

} // namespace brisola
