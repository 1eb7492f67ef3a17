#include "sessions/llista_sessions.h"

#include "sessions/sessio.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <algorithm>

namespace brisola {

QDateTime inici_de_sessio(const QString& fitxer) {
    QFile f(fitxer);
    // The start is among the first lines: no need to read a long session whole.
    auto s = f.open(QIODevice::ReadOnly) ? llegeix_sessio(f.read(4096)) : std::nullopt;
    return inici_de_sessio(s.value_or(sessio{}), fitxer);
}

QDateTime inici_de_sessio(const sessio& s, const QString& fitxer) {
    const QDateTime inici = QDateTime::fromString(s.info.value("inici"), Qt::ISODateWithMs);
    return inici.isValid() ? inici : QFileInfo(fitxer).lastModified();
}

QStringList ordena_per_inici(QStringList fitxers) {
    std::vector<std::pair<QDateTime, QString>> amb_inici;
    for (const QString& f : fitxers) amb_inici.emplace_back(inici_de_sessio(f), f);
    // Two in the same second: "x.diari" came before "x-2.diari", and "x-2" before "x-10".
    std::stable_sort(amb_inici.begin(), amb_inici.end(), [](const auto& a, const auto& b) {
        if (a.first != b.first) return a.first < b.first;
        if (a.second.size() != b.second.size()) return a.second.size() < b.second.size();
        return a.second < b.second;
    });
    fitxers.clear();
    for (const auto& [inici, f] : amb_inici) fitxers << f;
    return fitxers;
}

QStringList sessions_de(const QString& carpeta) {
    QStringList fitxers;
    const QDir dir(carpeta);
    for (const QString& nom : dir.entryList({"*.diari"}, QDir::Files)) fitxers << dir.filePath(nom);
    return ordena_per_inici(fitxers);
}

} // namespace brisola
