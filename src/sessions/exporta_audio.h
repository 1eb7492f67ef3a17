#pragma once
// A session, or a part of it, rendered offline as it was heard: the same
// soundfont, the instrument's messages at the times they were heard, the
// songs decoded and mixed at the times they ran, the same levels, and the
// sound left at the end rung out. WAV or FLAC by the file's extension; the
// file appears only once it is whole, readable by its owner only.
#include "sessions/exporta_midi.h"

#include <functional>

namespace brisola {

struct resultat_exportacio {
    QString error;       // empty when written (or cancelled)
    QStringList absents; // songs no longer there: the rest was exported without them
    bool cancellada = false;
    int passades = 0;    // the journal's spoiled or unknown lines, passed over
    QString soundfont;   // the soundfont used in place of the session's, which is no longer there
};

// `progres` gets the share done (0 to 1) now and then; false from it cancels.
resultat_exportacio exporta_audio(const sessio& s, const tros_sessio& tros, const QString& cami,
                                  const std::function<bool(double)>& progres = {});

} // namespace brisola
