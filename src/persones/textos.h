#pragma once
// The people's captions and messages, in the interface's languages.
#include <QString>
#include <QStringList>

namespace brisola {

struct textos {
    const char *catala, *espanyol, *galego;
};

// The text in `idioma` (Catalan unless Spanish or Galician), its %1… filled with `dades`.
QString tradueix(const textos& t, const QString& idioma, const QStringList& dades = {});

} // namespace brisola
