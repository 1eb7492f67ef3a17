#include "sessions/ordre_canco.h"

#include "platform/media_interpret.h"

#include <QStringList>

namespace brisola {

namespace {

bool es(const QString& a, const char* b) { return a.compare(QLatin1String(b), Qt::CaseInsensitive) == 0; }

int64_t numero(const QString& text) {
    bool ok = false;
    const qlonglong n = text.toLongLong(&ok);
    return ok ? n : -1;
}

} // namespace

QString ordre_canco::cami() const { return cami_de_nom_curt(nom); }

ordre_canco llegeix_ordre_canco(const QString& ordre) {
    const QStringList p = ordre.simplified().split(' ');
    ordre_canco o;
    if (p.size() < 2) return o;
    const QString& verb = p[0];
    o.mid1 = es(p[1], "mid1") || es(verb, "open");
    if (!o.mid1 || es(verb, "open")) o.nom = p[1];
    using v = ordre_canco::verb;
    if (es(verb, "open")) o.v = v::obre;
    else if (es(verb, "play")) o.v = v::juga, o.valor = p.size() == 4 && es(p[2], "from") ? numero(p[3]) : -1;
    else if (es(verb, "stop")) o.v = v::atura;
    else if (es(verb, "close")) o.v = v::tanca;
    else if (es(verb, "pause")) o.v = v::pausa;
    else if (es(verb, "resume")) o.v = v::repren;
    else if (es(verb, "status")) o.v = v::estat;
    else if (es(verb, "set") && p.size() == 4 && es(p[2], "tempo")) o.v = v::tempo, o.valor = numero(p[3]);
    else if (es(verb, "seek") && p.size() == 4 && es(p[2], "to")) o.v = v::situa, o.valor = numero(p[3]);
    return o;
}

void estat_canco::aplica(const ordre_canco& o) {
    using v = ordre_canco::verb;
    // A WAV or MP3 song is opened by its "play"; another file takes the place of the last.
    if (o.v == v::obre || (o.v == v::juga && !o.mid1 && (o.nom != nom || o.valor >= 0))) *this = {o.nom};
    switch (o.v) {
    case v::juga:
    case v::repren:
        en_marxa = !nom.isEmpty();
        break;
    case v::atura:
    case v::pausa:
        en_marxa = false;
        break;
    case v::tanca:
        *this = {};
        break;
    case v::tempo:
        retinguda = o.valor == 1;
        break;
    default:
        break;
    }
}

} // namespace brisola
