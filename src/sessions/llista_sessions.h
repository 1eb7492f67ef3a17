#pragma once
// A person's session files in the order they were played: by the start each
// journal gives (with its offset from UTC, so an hour repeated when the clocks
// go back sorts right), not by name, where "…-2" sorts before its first.
#include <QDateTime>
#include <QStringList>

namespace brisola {

struct sessio;

// The session's start as its journal says, else its file's last change.
QDateTime inici_de_sessio(const QString& fitxer);
QDateTime inici_de_sessio(const sessio& s, const QString& fitxer);

QStringList ordena_per_inici(QStringList fitxers);

// The journals in `carpeta`, oldest first.
QStringList sessions_de(const QString& carpeta);

} // namespace brisola
