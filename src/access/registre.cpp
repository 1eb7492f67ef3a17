#include "registre.h"

#include "platform/registre_fitxer.h"

#include <QStringList>

namespace brisola {

namespace {

bool hive_conegut(const QString& hive) {
    static const QStringList hives = {"HKEY_CURRENT_CONFIG", "HKEY_CURRENT_USER", "HKEY_LOCAL_MACHINE", "HKEY_USERS"};
    return hives.contains(hive.toUpper());
}

QString hex_de(uint8_t b) { return QString("%1").arg(b, 2, 16, QChar('0')).toUpper(); }

} // namespace

QString llegeix_valor(const registre_fitxer& registre, const QString& hive, const QString& clau, const QString& nom) {
    if (hive.isEmpty() || !hive_conegut(hive)) return {};
    auto v = registre.valor(hive + "\\" + clau, nom);
    if (!v) return {};
    if (nom.isEmpty() || v->tipus == REG_SZ) return QString::fromUtf8(v->dades.constData(), v->dades.size());
    if (v->tipus == REG_DWORD && v->dades.size() == 4) {
        QString text = "dword:";
        for (int i = 3; i >= 0; --i) text += hex_de(uint8_t(v->dades[i]));
        return text;
    }
    if (v->tipus == REG_BINARY) {
        QStringList bytes;
        for (char b : v->dades) bytes << hex_de(uint8_t(b));
        return "hex:" + bytes.join(',');
    }
    return {};
}

} // namespace brisola
