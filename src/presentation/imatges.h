#pragma once
// Pictures from files: SVG drawings rendered at the size asked for, other
// formats as Qt reads them. A missing or unreadable file gives a null pixmap.
#include <QPixmap>
#include <QString>

namespace brisola {

QPixmap carrega_imatge(const QString& cami, QSize mida);

class caixa_imatge;
// Draws the picture stretched over the whole surface, which keeps it and
// repaints it at every size; a picture that cannot be read draws nothing.
void imatge_dibuixa(const QString& cami, caixa_imatge& desti);

} // namespace brisola
