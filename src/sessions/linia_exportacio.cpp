#include "sessions/linia_exportacio.h"

#include "sessions/exportacio.h"
#include "sessions/textos_sessions.h"

#include <QFileInfo>

#include <cstdio>

namespace brisola {

namespace {

void diu(const QString& text) { std::fprintf(stderr, "brisola: %s\n", text.toLocal8Bit().constData()); }

} // namespace

int exporta_per_linia(const QStringList& arguments) {
    const qsizetype opcio = arguments.indexOf("--export");
    if (opcio < 0 || opcio + 2 >= arguments.size() || !desti_conegut(arguments[opcio + 2])) {
        diu("brisola --export SESSION_FILE OUT.mid|OUT.wav|OUT.flac");
        return 2;
    }
    const QString sessio = arguments[opcio + 1], desti = arguments[opcio + 2];
    const QString idioma; // the texts' first language
    resultat_exportacio r = exporta_sessio(sessio, {}, desti);
    for (const QString& absent : r.absents) diu(text_sessions(idioma, t_canco_absent, {absent}));
    if (r.passades > 0) diu(text_sessions(idioma, t_malmesa, {QFileInfo(sessio).fileName(), QString::number(r.passades)}));
    if (!r.error.isEmpty()) {
        diu(text_sessions(idioma, t_no_exportat, {desti, r.error}));
        return 1;
    }
    diu(text_sessions(idioma, t_exportat, {desti}));
    return 0;
}

} // namespace brisola
