// A session's journal as it may come from a disk: cut, spoiled, from a later
// version. It must read, export to MIDI and give its figures, whatever it holds.
#include "sessions/exporta_midi.h"
#include "sessions/xifres.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* dades, size_t mida) {
    using namespace brisola;
    auto s = llegeix_sessio(QByteArray(reinterpret_cast<const char*>(dades), qsizetype(mida)));
    if (!s) return 0;
    QStringList absents;
    smf_de_sessio(*s, {}, absents);
    xifres_de(*s);
    return 0;
}
