#pragma once
// The C major scale that the scale modality and the test panel's scale play.
#include <cstdint>

namespace brisola {

// Semitones above the scale's C of its i-th note, i from 1 (C) to 7 (B).
constexpr int16_t pas_de_l_escala(int i) {
    constexpr int16_t passos[] = {0, 2, 4, 5, 7, 9, 11};
    return passos[i - 1];
}

} // namespace brisola
