// The journal's cost in the busiest play ("Ritme i notes" with the pointer at the left
// edge: a silencing and a note every 10 ms, the pointer moving twenty times a second),
// run at 100 times the real pace: the share of a core it takes at the real pace, the
// bytes it writes an hour, and how long the export takes an hour of play.
#include "fakes/rellotge_fals.h"
#include "sessions/diari.h"
#include "sessions/exportacio.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QTemporaryDir>

#include <cstdio>
#include <ctime>
#include <thread>

using namespace brisola;

namespace {

double cpu_segons() {
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return double(t.tv_sec) + double(t.tv_nsec) / 1e9;
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QTemporaryDir dir;
    constexpr int minuts = 10;
    rellotge_fals rellotge;
    int lloc = 0;
    QString fitxer;
    double cpu = 0;
    {
        diari d(dir.path(), {rellotge, [&] { return int64_t(rellotge.ara()) * 1000000; }, [] { return int64_t(3333333); }},
                "/usr/share/sounds/sf2/default-GM.sf2");
        d.connecta({[&] { return std::optional(std::array<int, 4>{lloc % 1000, 500, lloc % 1000, 500}); },
                    [] { return escriptor_diari::info{{"modalitat", "0 Ritme i notes"}}; }, [] { return true; }, {}});
        d.set_persona("Banc");
        const double abans = cpu_segons();
        for (long ms = 0; ms < minuts * 60000L; ms += 10) {
            d.midi(0x0078b0);
            d.midi(0x643c90 + uint32_t((ms / 10 % 24) << 8));
            lloc += 7;
            rellotge.avanca(10);
            if (ms % 1000 == 0) std::this_thread::sleep_for(std::chrono::milliseconds(10)); // 100 times the real pace
        }
        fitxer = d.fitxer();
        d.tanca();
        cpu = cpu_segons() - abans;
    }
    const double hores = minuts / 60.0;
    std::printf("journal: %.2f %% of a core at the real pace, %.1f MB an hour\n", cpu / (hores * 3600) * 100,
                double(QFileInfo(fitxer).size()) / 1e6 / hores);

    for (const char* tipus : {"mid", "wav"}) {
        QElapsedTimer rellotge_export;
        rellotge_export.start();
        resultat_exportacio r = exporta_sessio(fitxer, {}, dir.path() + "/sessio." + tipus);
        if (!r.error.isEmpty()) return std::printf("export failed: %s\n", qPrintable(r.error)), 1;
        std::printf("export to %s: %.1f s an hour of play\n", tipus, double(rellotge_export.elapsed()) / 1000 / hores);
    }
    return 0;
}
