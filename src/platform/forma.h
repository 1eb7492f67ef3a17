#pragma once
// A shape control: a circle outline drawn inside its rectangle.
#include "control_mobil.h"

namespace brisola {

class forma : public control_mobil {
public:
    using control_mobil::control_mobil;

protected:
    void paintEvent(QPaintEvent*) override;
};

} // namespace brisola
