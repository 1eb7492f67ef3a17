#include "media_interpret.h"

#include <QFileInfo>
#include <QUrl>

namespace brisola {

QString media_interpret::ShortPath(const QString& cami) {
    QFileInfo fitxer(cami);
    if (!fitxer.isFile()) return {};
    // Percent-encoding keeps the name free of blanks and turns back into the file exactly.
    return QString::fromLatin1(QUrl::toPercentEncoding(fitxer.absoluteFilePath(), "/"));
}

} // namespace brisola
