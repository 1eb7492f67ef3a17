#pragma once
// Pictures from files: SVG drawings rendered at the size asked for, other
// formats as Qt reads them. A missing or unreadable file gives a null pixmap.
#include <QPixmap>
#include <QString>
#include <QStringList>

class QWidget;

namespace brisola {

class dialeg_fitxers;

QPixmap carrega_imatge(const QString& cami, QSize mida);

// The open-file dialog with the given filter; the chosen path, or empty.
QString dialeg_obrir(dialeg_fitxers& dialeg, const QString& carpeta, const QStringList& filtre, uint32_t flags,
                     QWidget* propietari);
QString tria_fitxer(dialeg_fitxers& dialeg, QWidget* propietari, const QString& carpeta, const QStringList& filtre);

class caixa_imatge;
// Draws the picture stretched over the whole surface, which keeps it and
// repaints it at every size; a picture that cannot be read draws nothing.
void imatge_dibuixa(const QString& cami, caixa_imatge& desti);

} // namespace brisola
