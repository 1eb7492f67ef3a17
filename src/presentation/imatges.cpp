#include "imatges.h"

#include <QPainter>
#include <QSvgRenderer>

namespace brisola {

QPixmap carrega_imatge(const QString& cami, QSize mida) {
    if (!cami.endsWith(".svg", Qt::CaseInsensitive)) return QPixmap(cami);
    QSvgRenderer dibuix(cami);
    if (!dibuix.isValid()) return {};
    QPixmap imatge(mida);
    imatge.fill(Qt::transparent);
    QPainter pintor(&imatge);
    dibuix.render(&pintor);
    return imatge;
}

} // namespace brisola
