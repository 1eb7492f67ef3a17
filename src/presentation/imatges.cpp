#include "imatges.h"

#include "platform/caixa_imatge.h"

#include <QFileInfo>
#include <QPainter>
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

void imatge_dibuixa(const QString& cami, caixa_imatge& desti) {
    QPixmap picture = carrega_imatge(cami, desti.size());
    if (!picture.isNull()) desti.set_Picture(picture);
}

} // namespace brisola
