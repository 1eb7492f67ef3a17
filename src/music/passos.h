#pragma once
// What chord and drum steps share: a rotating queue of fixed-size steps whose
// first two characters give the length as n/d of a four-beat bar.
#include <QString>

#include <optional>

namespace brisola {

// The head step: the first `mida` characters, padded with blanks.
QString pas_de_cap(const QString& patro, int mida);
// The pattern with its head step moved to the tail.
QString gira(const QString& patro, const QString& pas, int mida);
// n/d of the step; nothing when d is 0 (or not a hexadecimal digit): such a step has no length.
std::optional<double> fraccio(const QString& pas);
// The step's length in ms at `tempo` (ms per beat).
int32_t durada(int16_t tempo, double fraccio);

} // namespace brisola
