#include "sessions/linia_exportacio.h"

#include "sessions/exportacio.h"
#include "sessions/textos_sessions.h"

#include <QFile>
#include <QFileInfo>

namespace brisola {

namespace {

// Why the session cannot be exported, before anything is written; empty when it can.
QString motiu_illegible(const QString& sessio, const QString& idioma) {
    QFile f(sessio);
    if (!f.open(QIODevice::ReadOnly)) return text_sessions(idioma, t_no_llegit, {sessio, f.errorString()});
    if (!llegeix_sessio(f.read(4096)) ) return text_sessions(idioma, t_no_es_diari, {sessio});
    return {};
}

} // namespace

int exporta_per_linia(const QStringList& arguments, const QString& idioma,
                      const std::function<void(const QString&)>& diu) {
    const qsizetype opcio = arguments.indexOf("--export");
    if (opcio < 0 || opcio + 2 >= arguments.size() || !desti_conegut(arguments[opcio + 2])) {
        diu(text_sessions(idioma, t_us_exportacio));
        return 2;
    }
    const QString sessio = arguments[opcio + 1], desti = arguments[opcio + 2];
    if (const QString motiu = motiu_illegible(sessio, idioma); !motiu.isEmpty()) {
        diu(motiu);
        return 1;
    }
    resultat_exportacio r = exporta_sessio(sessio, {}, desti);
    for (const QString& absent : r.absents) diu(text_sessions(idioma, t_canco_absent, {absent}));
    if (!r.soundfont.isEmpty()) diu(text_sessions(idioma, t_soundfont_substitut, {r.soundfont}));
    if (r.passades > 0) diu(text_sessions(idioma, t_malmesa, {QFileInfo(sessio).fileName(), QString::number(r.passades)}));
    if (!r.error.isEmpty()) {
        diu(text_sessions(idioma, t_no_exportat, {desti, r.error}));
        return 1;
    }
    diu(text_sessions(idioma, t_exportat, {desti}));
    return 0;
}

} // namespace brisola
