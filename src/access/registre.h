#pragma once
// registre: reads one value of the registry as text, by the rules the
// calibration launch relies on.
#include <QString>

namespace brisola {

class registre_fitxer;

// A text value comes with its terminating zero; a dword as "dword:" and eight hex
// digits, a binary value as "hex:" and its bytes; anything else, or a missing
// hive, key or value, as the empty text.
QString llegeix_valor(const registre_fitxer& registre, const QString& hive, const QString& clau, const QString& nom);

} // namespace brisola
