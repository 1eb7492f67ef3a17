#include "inici.h"

#include "imatges.h"

#include <QPainter>

namespace brisola {

namespace {

const QSize mida(418, 286);
const QRect lloc_de_la_linia(10, 244, 398, 40); // below the drawing, where the picture leaves room

// Nothing sounds until an access method is chosen: the line says so first.
QString linia(const QString& idioma) {
    if (idioma == QString::fromUtf8("español"))
        return QString::fromUtf8("Elige en «Acceso» cómo mueves el puntero, y haz música");
    if (idioma == "galego") return QString::fromUtf8("Escolle en «Acceso» como moves o punteiro, e fai música");
    return QString::fromUtf8("Tria a «Accés» com mous el punter, i fes música");
}

} // namespace

QPixmap imatge_inici(const QString& cami, const QString& idioma) {
    QPixmap imatge = carrega_imatge(cami, mida);
    if (imatge.isNull()) return imatge;
    QPainter p(&imatge);
    p.setRenderHint(QPainter::TextAntialiasing);
    QFont lletra("DejaVu Sans");
    lletra.setPixelSize(15);
    p.setFont(lletra);
    p.setPen(QColor(0x49, 0x50, 0x57));
    p.drawText(lloc_de_la_linia, Qt::AlignHCenter | Qt::AlignTop | Qt::TextWordWrap, linia(idioma));
    return imatge;
}

} // namespace brisola
