// The settings reader and the language write over any bytes: nothing crashes,
// the value reads back, and every line but the language's own is kept, in order.
#include "platform/fitxer_ini.h"

#include <QByteArray>
#include <QFile>
#include <QList>

#include <unistd.h>

using namespace brisola;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* dades, size_t mida) {
    static const QString fitxer = QString("/tmp/brisola_fuzz_%1.ini").arg(getpid());
    const QByteArray abans(reinterpret_cast<const char*>(dades), qsizetype(mida));
    {
        QFile f(fitxer);
        f.open(QIODevice::WriteOnly | QIODevice::Truncate);
        f.write(abans);
    }
    QString bufer;
    for (const char* clau : {"idioma", "num", "1nombre"})
        for (const char* seccio : {"inici", "canciones", "ritmos"})
            GetPrivateProfileStringA(seccio, clau, "", bufer, 256, fitxer);
    if (!WritePrivateProfileStringA("inici", "idioma", "galego", fitxer)) abort();
    GetPrivateProfileStringA("inici", "idioma", "", bufer, 256, fitxer);
    if (bufer != "galego" && abans.contains('\0') == false && !abans.toLower().contains("idioma")) abort();
    QFile f(fitxer);
    f.open(QIODevice::ReadOnly);
    const QByteArray despres = f.readAll();
    qsizetype on = 0;
    QByteArray linies = abans;
    linies.replace('\r', '\n'); // a bare CR ends a line too, as the reader and the writer take it
    for (const QByteArray& linia : linies.split('\n')) {
        QByteArray neta = linia.trimmed();
        if (neta.isEmpty() || neta.toLower().contains("idioma")) continue;
        on = despres.indexOf(neta, on);
        if (on < 0) abort(); // a line of the user's was lost or moved
        on += neta.size();
    }
    return 0;
}
