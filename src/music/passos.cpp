#include "passos.h"

#include "platform/numeros.h"

namespace brisola {

QString pas_de_cap(const QString& patro, int mida) { return patro.left(mida).leftJustified(mida, ' '); }

QString gira(const QString& patro, const QString& pas, int mida) { return patro.mid(mida) + pas; }

std::optional<double> fraccio(const QString& pas) {
    long n = hexval(QString(pas[0]).toStdString()), d = hexval(QString(pas[1]).toStdString());
    if (d == 0) return std::nullopt;
    return double(n) / double(d);
}

int32_t durada(int16_t tempo, double fraccio) { return nearest32(c16(tempo * 4) * fraccio); }

} // namespace brisola
