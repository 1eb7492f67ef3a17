#include "llocs.h"

#include "platform/fitxer_ini.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace brisola {

llocs troba_llocs(const QString& programa, const QString& config, const QString& dades_usuari) {
    const QString instal = QDir::cleanPath(programa + "/../share/brisola");
    const bool arbre_de_compilacio = QFileInfo::exists(cami_sense_majuscules(programa, "brisola.ini")) ||
                                     !QFileInfo::exists(instal + "/brisola.ini");
    if (arbre_de_compilacio) return {programa, programa, programa, programa + "/sessions"};
    const QString usuari = config + "/brisola";
    QDir().mkpath(usuari);
    if (!QFileInfo::exists(cami_sense_majuscules(usuari, "brisola.ini")))
        QFile::copy(instal + "/brisola.ini", usuari + "/brisola.ini");
    // The copy keeps the shipped file's read-only mode: the language must be writable.
    QFile(usuari + "/brisola.ini").setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                                  QFileDevice::ReadGroup | QFileDevice::ReadOther);
    return {usuari, instal, QDir::cleanPath(programa + "/../lib/brisola"), dades_usuari + "/brisola/sessions"};
}

} // namespace brisola
