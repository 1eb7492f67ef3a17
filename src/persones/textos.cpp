#include "persones/textos.h"

#include "presentation/avisos.h"

namespace brisola {

QString tradueix(const textos& t, const QString& idioma, const QStringList& dades) {
    return omple(QString::fromUtf8(idioma == "español" ? t.espanyol : idioma == "galego" ? t.galego : t.catala), dades);
}

} // namespace brisola
