// Chord and drum steps, chord codes and the number rules, on any text.
#include "music/passos.h"
#include "music/taula_acords.h"
#include "platform/numeros.h"

#include <QString>

using namespace brisola;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* dades, size_t mida) {
    const std::string_view text(reinterpret_cast<const char*>(dades), mida);
    const QString patro = QString::fromLatin1(text.data(), qsizetype(text.size()));
    for (int mida_pas : {4, 5}) {
        QString pas = pas_de_cap(patro, mida_pas);
        gira(patro, pas, mida_pas);
        if (auto f = fraccio(pas)) durada(int16_t(mida % 9000), *f);
    }
    llista_acord(patro.left(2));
    try {
        leading_number(text);
        hexval(text);
        number(text);
        nearest(leading_number(text));
    } catch (const error_execucio&) {
    }
    return 0;
}
