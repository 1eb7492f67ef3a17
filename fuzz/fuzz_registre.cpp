// The registry-file reader on any bytes, and the values read from it as text.
#include "access/registre.h"
#include "platform/registre_fitxer.h"

using namespace brisola;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* dades, size_t mida) {
    auto r = registre_fitxer::de_bytes(QByteArray(reinterpret_cast<const char*>(dades), qsizetype(mida)));
    const QString clau = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\"
                         "{3E8A51C2-94D7-4B60-AF1D-C27B05E6984D}_is1";
    for (const char* nom : {"Inno Setup: App Path", "", "Nombre", "Bytes"})
        llegeix_valor(r, "HKEY_LOCAL_MACHINE", clau, nom);
    return 0;
}
