#include "sessions/transport_canco.h"

#include "platform/lector_smf.h"
#include "platform/media_interpret.h"

#include <QFile>
#include <QFileInfo>

namespace brisola {

namespace {

QStringList paraules(const QString& ordre) { return ordre.simplified().split(' '); }

bool es(const QString& a, const char* b) { return a.compare(QLatin1String(b), Qt::CaseInsensitive) == 0; }

// A command that opens a file: a MIDI song's "open", a WAV or MP3 song's "play".
bool obre_fitxer(const QStringList& p) {
    return p.size() >= 2 && (es(p[0], "open") || (es(p[0], "play") && !es(p[1], "mid1")));
}

struct reproductor {
    std::vector<esdeveniment_smf> missatges;
    bool obert = false, en_marxa = false, retingut = false;
    double posicio = 0; // ms of the song already played
    int64_t des_de = 0; // the session's ms it runs from
    size_t seguent = 0;

    bool sona() const { return obert && en_marxa && !retingut; }
    void corre(int64_t fins, const std::function<void(int64_t, const esdeveniment_smf*)>& fes) {
        if (!sona()) return;
        const double fi = posicio + double(fins - des_de);
        for (; seguent < missatges.size() && missatges[seguent].ms < fi; ++seguent)
            fes(des_de + int64_t(std::llround(missatges[seguent].ms - posicio)), &missatges[seguent]);
        posicio = fi;
        des_de = fins;
    }
};

} // namespace

QString cami_de_canco(const QString& ordre) { return cami_de_nom_curt(paraules(ordre).value(1)); }

void recorre_canco_midi(const sessio& s, int64_t fi, QStringList& absents,
                        const std::function<void(int64_t, const esdeveniment_smf*)>& fes) {
    reproductor r;
    for (const auto& o : s.cancons) {
        if (o.ms > fi) break;
        r.corre(o.ms, fes);
        const QStringList p = paraules(o.text);
        const bool mid1 = es(p.value(1), "mid1") || es(p.value(0), "open");
        if (!mid1) continue;
        const bool sonava = r.sona();
        if (es(p[0], "open")) {
            r = reproductor{};
            QFile f(cami_de_canco(o.text));
            auto missatges = f.open(QIODevice::ReadOnly) ? esdeveniments_smf(f.readAll()) : std::nullopt;
            if (!missatges) absents << QFileInfo(f.fileName()).fileName();
            r.obert = missatges.has_value();
            if (missatges) r.missatges = std::move(*missatges);
        } else if (es(p[0], "play")) {
            r.en_marxa = true;
        } else if (es(p[0], "stop")) {
            r.en_marxa = false;
        } else if (es(p[0], "close")) {
            r.obert = false;
        } else if (es(p[0], "set")) {
            r.retingut = p.value(3) == "1";
        }
        r.des_de = o.ms;
        if (sonava && !r.sona()) fes(o.ms, nullptr);
    }
    r.corre(fi, fes);
}

QStringList cancons_absents(const sessio& s) {
    QStringList absents;
    for (const auto& o : s.cancons) {
        const QStringList p = paraules(o.text);
        if (!obre_fitxer(p)) continue;
        const QString cami = cami_de_canco(o.text);
        if (!QFileInfo(cami).isFile() && !absents.contains(QFileInfo(cami).fileName()))
            absents << QFileInfo(cami).fileName();
    }
    return absents;
}

} // namespace brisola
