// A session's journal as it may come from a disk: cut, spoiled, from a later
// version. It must read, export to a MIDI file a reader accepts, and give its
// figures, whatever it holds.
#include "platform/lector_smf.h"
#include "sessions/exporta_midi.h"
#include "sessions/xifres.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* dades, size_t mida) {
    using namespace brisola;
    auto s = llegeix_sessio(QByteArray(reinterpret_cast<const char*>(dades), qsizetype(mida)));
    if (!s) return 0;
    QStringList absents;
    if (!esdeveniments_smf(smf_de_sessio(*s, {}, absents))) std::abort();
    xifres_de(*s);
    return 0;
}
