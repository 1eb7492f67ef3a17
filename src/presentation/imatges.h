#pragma once
// Pictures from files: SVG drawings rendered at the size asked for, other
// formats as Qt reads them. A missing or unreadable file gives a null pixmap.
#include <QPixmap>
#include <QString>

namespace brisola {

QPixmap carrega_imatge(const QString& cami, QSize mida);

} // namespace brisola
