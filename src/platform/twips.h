#pragma once
// Control positions are given in twips (1/1440 inch), 15 to a screen pixel.
#include "numeros.h"

#include <QRect>

namespace brisola {

inline int twips(int t) { return nearest32(t / 15.0); }
inline QRect twips(int esquerra, int dalt, int amplada, int alcada) {
    return {twips(esquerra), twips(dalt), twips(amplada), twips(alcada)};
}

} // namespace brisola
