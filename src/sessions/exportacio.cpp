#include "sessions/exportacio.h"

#include <QFileInfo>
#include <QSaveFile>

namespace brisola {

namespace {

QString extensio(const QString& desti) { return QFileInfo(desti).suffix().toLower(); }

} // namespace

bool desti_conegut(const QString& desti) {
    const QString e = extensio(desti);
    return e == "mid" || e == "wav" || e == "flac";
}

resultat_exportacio exporta_sessio(const QString& fitxer_sessio, const tros_sessio& tros, const QString& desti,
                                   const std::function<bool(double)>& progres) {
    resultat_exportacio r;
    if (!desti_conegut(desti)) return r.error = ".mid, .wav, .flac", r;
    auto s = llegeix_sessio(fitxer_sessio);
    if (!s) return r.error = fitxer_sessio, r;
    if (extensio(desti) != "mid") {
        r = exporta_audio(*s, tros, desti, progres);
    } else {
        QSaveFile f(desti);
        // The owner's only, as the session is: the person may share it afterwards.
        if (!f.open(QIODevice::WriteOnly) || !f.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner) ||
            f.write(smf_de_sessio(*s, tros, r.absents)) < 0 || !f.commit())
            r.error = f.errorString();
        r.absents.removeDuplicates();
    }
    r.passades = s->passades;
    return r;
}

} // namespace brisola
