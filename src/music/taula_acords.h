#pragma once
// The chord codes of the progressions and the note lists they stand for.
#include <QString>

#include <optional>

namespace brisola {

// The list of a code as the dispatcher reads it (two hexadecimal characters a
// note; a note name is a blank and its pitch class), or nothing for an
// unlisted code. Codes are compared exactly, case included.
std::optional<QString> llista_acord(const QString& codi);

// Whether the code names a single note, whose transposition digit is an octave.
bool es_nom_de_nota(const QString& codi);

} // namespace brisola
