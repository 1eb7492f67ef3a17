#pragma once
// brisola.ini is 8-bit Windows-1252 text; inside the program texts are QString.
#include <QByteArray>
#include <QString>

namespace brisola {

QString des_de_1252(const QByteArray& bytes);
// Characters that Windows-1252 cannot hold become '?'.
QByteArray a_1252(const QString& text);

} // namespace brisola
