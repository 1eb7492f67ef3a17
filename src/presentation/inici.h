#pragma once
// The title picture, with its line of what to do first in the interface language.
#include <QPixmap>
#include <QString>

namespace brisola {

// `cami`: the picture; `idioma`: "catala", "español" or "galego" (Catalan for any other).
QPixmap imatge_inici(const QString& cami, const QString& idioma);

} // namespace brisola
