#include "sessions/transport_canco.h"

#include "platform/lector_smf.h"
#include "sessions/ordre_canco.h"

#include <QFile>
#include <QFileInfo>

#include <algorithm>

namespace brisola {

namespace {

struct reproductor {
    std::vector<esdeveniment_smf> missatges;
    estat_canco estat;
    double posicio = 0; // ms of the song already played
    int64_t des_de = 0; // the session's ms it runs from
    size_t seguent = 0;

    void corre(int64_t fins, const std::function<void(int64_t, const esdeveniment_smf*)>& fes) {
        if (!estat.sona()) return;
        const double fi = posicio + double(fins - des_de);
        for (; seguent < missatges.size() && missatges[seguent].ms < fi; ++seguent)
            fes(des_de + int64_t(std::llround(missatges[seguent].ms - posicio)), &missatges[seguent]);
        posicio = fi;
        des_de = fins;
    }
    // The song's millisecond at a tick: between the messages around it, in proportion.
    void situa(int64_t tic) {
        auto despres = std::lower_bound(missatges.begin(), missatges.end(), tic,
                                        [](const esdeveniment_smf& e, int64_t t) { return e.tic < t; });
        if (despres == missatges.end()) posicio = missatges.empty() ? 0 : missatges.back().ms;
        else if (despres == missatges.begin() || despres->tic == tic) posicio = despres->ms;
        else {
            const auto abans = std::prev(despres);
            posicio = abans->ms + (despres->ms - abans->ms) * double(tic - abans->tic) / double(despres->tic - abans->tic);
        }
        seguent = size_t(despres - missatges.begin());
    }
};

} // namespace

QString cami_de_canco(const QString& ordre) { return llegeix_ordre_canco(ordre).cami(); }

void recorre_canco_midi(const sessio& s, int64_t fi, QStringList& absents,
                        const std::function<void(int64_t, const esdeveniment_smf*)>& fes) {
    reproductor r;
    for (const auto& text : s.cancons) {
        if (text.ms > fi) break;
        r.corre(text.ms, fes);
        const ordre_canco o = llegeix_ordre_canco(text.text);
        if (!o.mid1) continue;
        const bool sonava = r.estat.sona();
        if (o.v == ordre_canco::verb::obre) {
            r = reproductor{};
            QFile f(o.cami());
            auto missatges = f.open(QIODevice::ReadOnly) ? esdeveniments_smf(f.readAll()) : std::nullopt;
            if (!missatges) absents << QFileInfo(f.fileName()).fileName();
            else r.missatges = std::move(*missatges);
        }
        if (o.v == ordre_canco::verb::situa) r.situa(o.valor);
        r.estat.aplica(o);
        r.des_de = text.ms;
        if (sonava && !r.estat.sona()) fes(text.ms, nullptr);
    }
    r.corre(fi, fes);
}

QStringList cancons_absents(const sessio& s) {
    QStringList absents;
    for (const auto& text : s.cancons) {
        const ordre_canco o = llegeix_ordre_canco(text.text);
        const bool obre = o.v == ordre_canco::verb::obre || (o.v == ordre_canco::verb::juga && !o.mid1);
        if (!obre) continue;
        const QFileInfo fitxer(o.cami());
        if (!fitxer.isFile() && !absents.contains(fitxer.fileName())) absents << fitxer.fileName();
    }
    return absents;
}

} // namespace brisola
