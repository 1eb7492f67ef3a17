#pragma once
// A session file exported by the destination's extension: ".mid", ".wav" or ".flac".
#include "sessions/exporta_audio.h"

namespace brisola {

resultat_exportacio exporta_sessio(const QString& fitxer_sessio, const tros_sessio& tros, const QString& desti,
                                   const std::function<bool(double)>& progres = {});

// The destination's kind is one we write.
bool desti_conegut(const QString& desti);

} // namespace brisola
