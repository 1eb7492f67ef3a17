#include "imatges.h"

#include "platform/caixa_imatge.h"
#include "platform/dialeg_fitxers.h"

#include <QFileInfo>
#include <QPainter>
#include <QScreen>
#include <QSvgRenderer>

namespace brisola {

QPixmap carrega_imatge(const QString& cami, QSize mida) {
    if (!QFileInfo(cami).isFile()) return {};
    if (!cami.endsWith(".svg", Qt::CaseInsensitive)) return QPixmap(cami);
    QSvgRenderer dibuix(cami);
    if (!dibuix.isValid()) return {};
    QPixmap imatge(mida);
    imatge.fill(Qt::transparent);
    QPainter pintor(&imatge);
    dibuix.render(&pintor);
    return imatge;
}

// A drawing is rendered for the largest the surface can grow to, so that the
// maximised window shows it sharp; the surface then only stretches it.
void imatge_dibuixa(const QString& cami, caixa_imatge& desti) {
    QSize pantalla = desti.screen() ? desti.screen()->size() : QSize();
    QPixmap picture = carrega_imatge(cami, desti.size().expandedTo(pantalla));
    if (!picture.isNull()) desti.set_Picture(picture);
}

QString dialeg_obrir(dialeg_fitxers& dialeg, const QString& carpeta, const QStringList& filtre, uint32_t flags,
                     QWidget* propietari) {
    return dialeg.GetOpenFileNameA(propietari, carpeta, filtre, flags);
}

QString tria_fitxer(dialeg_fitxers& dialeg, QWidget* propietari, const QString& carpeta, const QStringList& filtre) {
    return dialeg_obrir(dialeg, carpeta, filtre, OFN_HIDEREADONLY | OFN_PATHMUSTEXIST | OFN_FILEMUSTEXIST, propietari);
}

} // namespace brisola
