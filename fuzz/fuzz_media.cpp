// The media command interpreter on any command string, its reply cut to any buffer.
#include "platform/media_interpret.h"
#include "platform/sintetitzador.h"

using namespace brisola;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* dades, size_t mida) {
    static sintetitzador synth(48000);
    static media_interpret media(synth, 48000);
    const QString ordre = QString::fromLatin1(reinterpret_cast<const char*>(dades), qsizetype(mida));
    uint32_t error = 0;
    const QString resposta = media.mciSendStringA(ordre, &error).left(int(mida % 130)); // a reply buffer of any size
    (void)resposta;
    float bloc[2 * 128] = {};
    media.mescla(bloc, 128);
    return 0;
}
