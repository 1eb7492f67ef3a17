// The audio output: the silent stand-in, the probe, and the watch that opens the system's output again.
#include "platform/sortida_audio.h"

#include <QtTest>

#include <sys/socket.h>
#include <sys/un.h>

#include <atomic>
#include <chrono>
#include <csignal>
#include <mutex>

using namespace brisola;
using resultat = sortida_audio::resultat;
using rellotge = std::chrono::steady_clock;

namespace {

void silenci(float* frames, int n) { std::fill(frames, frames + 2 * n, 0.0f); }

struct entorn {
    QByteArray nom;
    entorn(const char* n, const QString& valor) : nom(n) { qputenv(n, valor.toUtf8()); }
    ~entorn() { qunsetenv(nom); }
};

struct dits {
    std::vector<resultat> resultats;
    QStringList motius;
    std::vector<rellotge::time_point> moments;
    std::vector<int> frames;
};

// What the watch said, from its own thread.
struct registre {
    std::mutex m;
    dits d;
    std::function<void(resultat)> de(const sortida_audio& audio) {
        return [this, &audio](resultat r) {
            std::lock_guard l(m);
            d.resultats.push_back(r);
            d.motius.push_back(audio.motiu());
            d.moments.push_back(rellotge::now());
            d.frames.push_back(audio.frames());
        };
    }
    dits tot() {
        std::lock_guard l(m);
        return d;
    }
    std::vector<resultat> llista() { return tot().resultats; }
};

// A probe that does `abans` and then says the output opened, as the program's own would.
QString sonda_falsa(const QTemporaryDir& dir, const QString& abans) {
    QFile f(dir.filePath("sonda"));
    f.open(QIODevice::WriteOnly);
    f.write(QString("#!/bin/sh\n%1\nprintf 0 >&3\n").arg(abans).toUtf8());
    f.setPermissions(f.permissions() | QFile::ExeOwner);
    return f.fileName();
}

} // namespace

class test_sortida : public QObject {
    Q_OBJECT

private slots:
    void without_an_output_the_stand_in_keeps_real_time() {
        entorn driver("SDL_AUDIODRIVER", "no_such_driver");
        std::atomic<int64_t> frames = 0;
        std::atomic<bool> de_pressa = false;
        rellotge::time_point inici; // audio thread only
        registre r;
        const auto render = [&](float*, int n) {
            const auto ara = rellotge::now();
            if (frames == 0) inici = ara;
            const double a_temps = std::chrono::duration<double>(ara - inici).count() * 48000;
            if (double(frames + n) > a_temps + 2 * sortida_audio::frames_per_periode) de_pressa = true;
            frames += n;
        };
        sortida_audio audio(render, {}, {.entre_obertures_ms = 50, .maxim_entre_intents_ms = 100});
        audio.obre_en_segon_pla(r.de(audio));
        QTRY_VERIFY_WITH_TIMEOUT(frames > 24000, 10000); // with the system's output tried again meanwhile
        QVERIFY2(!de_pressa, "the stand-in renders faster than real time");
        QVERIFY(r.llista() == std::vector{resultat::mut});
        QVERIFY(!r.tot().motius[0].isEmpty());
    }

    void a_lost_output_is_opened_again_a_second_apart() {
        // Every write to /dev/full fails, so SDL gives the output up as soon as it is opened.
        entorn driver("SDL_AUDIODRIVER", "disk"), fitxer("SDL_DISKAUDIOFILE", "/dev/full");
        registre r;
        sortida_audio audio(silenci);
        audio.obre_en_segon_pla(r.de(audio));
        QTRY_VERIFY_WITH_TIMEOUT(r.llista().size() >= 3, 10000);
        const dits d = r.tot();
        QCOMPARE(d.resultats[2], resultat::so);
        QVERIFY(d.moments[2] - d.moments[0] >= std::chrono::milliseconds(2 * esperes_audio{}.entre_obertures_ms));
    }

    void a_late_answer_takes_the_stand_ins_place() {
        QTemporaryDir dir;
        entorn driver("SDL_AUDIODRIVER", "disk"), fitxer("SDL_DISKAUDIOFILE", dir.filePath("so.raw"));
        registre r;
        sortida_audio audio(silenci, sonda_falsa(dir, "sleep 1"), {.servidor_ms = 200});
        audio.obre_en_segon_pla(r.de(audio));
        QTRY_VERIFY_WITH_TIMEOUT(r.llista() == (std::vector{resultat::mut, resultat::tornat}), 10000);
        QCOMPARE(r.tot().motius[0], QString("the audio server does not answer"));
    }

    void a_system_output_that_comes_back_takes_the_stand_ins_place() {
        QTemporaryDir dir;
        // The disk output cannot open its file while the folder is missing, as a speaker unplugged.
        const QString cami = dir.filePath("altaveu/so.raw");
        entorn driver("SDL_AUDIODRIVER", "disk"), fitxer("SDL_DISKAUDIOFILE", cami);
        registre r;
        std::atomic<int> periodes = 0;
        sortida_audio audio([&](float* frames, int n) { silenci(frames, n), ++periodes; }, {},
                            {.entre_obertures_ms = 50, .maxim_entre_intents_ms = 200});
        audio.obre_en_segon_pla(r.de(audio));
        QTRY_VERIFY_WITH_TIMEOUT(r.llista() == std::vector{resultat::mut}, 5000);
        QVERIFY(QDir(dir.path()).mkdir("altaveu"));
        QTRY_VERIFY_WITH_TIMEOUT(r.llista() == (std::vector{resultat::mut, resultat::tornat}), 5000);
        QCOMPARE(r.tot().frames.back(), sortida_audio::frames_per_periode);
        const int abans = periodes; // from here on, the system's output calls alone
        QTRY_VERIFY(periodes > abans + 10);
    }

    void the_probes_answer_is_heard_with_sigchld_ignored() {
        // The kernel then reaps the probe itself, and its exit status is lost.
        const auto abans = std::signal(SIGCHLD, SIG_IGN);
        QTemporaryDir dir;
        entorn driver("SDL_AUDIODRIVER", "disk"), fitxer("SDL_DISKAUDIOFILE", dir.filePath("so.raw"));
        registre r;
        {
            sortida_audio audio(silenci, sonda_falsa(dir, ""), {.servidor_ms = 2000});
            audio.obre_en_segon_pla(r.de(audio));
            QTRY_VERIFY_WITH_TIMEOUT(!r.llista().empty(), 5000);
        }
        std::signal(SIGCHLD, abans);
        QCOMPARE(r.llista().front(), resultat::so);
    }

    // Last: the opening left hanging keeps SDL's audio to itself for the rest of the run.
    void an_opening_that_hangs_after_the_probe_never_holds_the_end() {
        QTemporaryDir dir;
        // An audio server that takes the connection and never answers, once the probe said it would.
        sockaddr_un lloc{};
        lloc.sun_family = AF_UNIX;
        const QByteArray cami = dir.filePath("pulse").toUtf8();
        std::copy(cami.begin(), cami.end(), lloc.sun_path);
        const int servidor = socket(AF_UNIX, SOCK_STREAM, 0);
        QCOMPARE(bind(servidor, reinterpret_cast<sockaddr*>(&lloc), sizeof lloc), 0);
        QCOMPARE(listen(servidor, 8), 0);
        entorn driver("SDL_AUDIODRIVER", "pulseaudio"), on("PULSE_SERVER", "unix:" + cami);
        registre r;
        auto* audio = new sortida_audio(silenci, sonda_falsa(dir, ""), {.servidor_ms = 300});
        audio->obre_en_segon_pla(r.de(*audio));
        QTRY_VERIFY_WITH_TIMEOUT(r.llista() == std::vector{resultat::mut}, 5000);
        QCOMPARE(r.tot().motius[0], QString("the audio server does not answer"));
        auto acabat = std::make_shared<std::atomic<bool>>(false);
        std::thread([audio, acabat] {
            delete audio;
            *acabat = true;
        }).detach();
        QTRY_VERIFY_WITH_TIMEOUT(*acabat, 2000);
    }
};

QTEST_MAIN(test_sortida)
#include "test_sortida.moc"
