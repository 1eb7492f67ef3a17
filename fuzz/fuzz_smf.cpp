// The song reader's look at a MIDI file, on any bytes.
#include "platform/lector_smf.h"

using namespace brisola;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* dades, size_t mida) {
    llegeix_smf(QByteArray(reinterpret_cast<const char*>(dades), qsizetype(mida)));
    return 0;
}
