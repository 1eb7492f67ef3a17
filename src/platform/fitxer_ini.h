#pragma once
// Reader and writer of initialisation files: Windows-1252 bytes, section and
// key names matched without regard to case, the first occurrence counting,
// values trimmed and unquoted, each read cut to the buffer's size less one.
#include <QString>
#include <QStringList>

namespace brisola {

// Copies the value (or `per_defecte`) into `bufer`, cut to `mida` - 1
// characters, and returns how many characters it copied.
int GetPrivateProfileStringA(const QString& seccio, const QString& clau, const QString& per_defecte,
                             QString& bufer, int mida, const QString& fitxer);

// Creates or replaces the key, creating the section and the file when missing;
// every other byte of the file stays as it was. The file is replaced whole, so
// an interrupted write never leaves it cut. False when it could not be written.
bool WritePrivateProfileStringA(const QString& seccio, const QString& clau, const QString& valor,
                                const QString& fitxer);

// The file `nom` in `directori`, its name matched without regard to case (an
// exact match first); `directori`/`nom` itself when no file matches.
QString cami_sense_majuscules(const QString& directori, const QString& nom);

// A file the catalogue names: a relative name is looked for in each folder in
// turn (the user's, then ours), its name matched without regard to case; the
// first folder's when none has it.
QString cami_del_cataleg(const QStringList& carpetes, const QString& nom);

enum class estat_fitxer { absent, llegible, illegible };
// Whether the file exists and can be read (a missing file is no error).
estat_fitxer examina_fitxer(const QString& fitxer);

} // namespace brisola
