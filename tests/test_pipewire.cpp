// The native stream on a PipeWire server of the test's own (tests/pipewire/amb_servidor.sh):
// its sound in the null sink's monitor, its name and quantum, its rest, and a server that goes away.
#include "platform/sortida_audio.h"
#include "platform/sortida_pipewire.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>
#include <QtTest>

#include <SDL.h>
#include <sndfile.h>
#include <pthread.h>
#include <sched.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <atomic>
#include <cmath>
#include <chrono>
#include <mutex>
#include <thread>

using namespace brisola;
using resultat = sortida_audio::resultat;

namespace {

// A 440 Hz tone at half scale; counts its renders, and tells how the thread that renders is scheduled.
struct to {
    std::atomic<int> renders{0}, politica{-1};
    double fase = 0;
    void operator()(float* estereo, int frames) {
        for (int i = 0; i < frames; ++i, fase += 2 * M_PI * 440 / 48000)
            estereo[2 * i] = estereo[2 * i + 1] = float(0.5 * std::sin(fase));
        politica = sched_getscheduler(0);
        ++renders;
    }
};

// Whether this process may run a thread in real time (root, or a limit that allows it).
bool temps_real_permes() {
    bool permes = false;
    std::thread([&] {
        sched_param p{};
        p.sched_priority = 1;
        permes = pthread_setschedparam(pthread_self(), SCHED_FIFO, &p) == 0;
    }).join();
    return permes;
}

// How this process's thread of that name is scheduled, -1 when there is none.
int politica_del_fil(const QByteArray& nom) {
    for (const QString& fil : QDir("/proc/self/task").entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        QFile comm("/proc/self/task/" + fil + "/comm");
        if (comm.open(QIODevice::ReadOnly) && comm.readAll().trimmed() == nom) return sched_getscheduler(fil.toInt());
    }
    return -1;
}

// A line of shell run beside the test by amb_servidor.sh, with its functions (torna_servidor…): the
// test starts no process of its own, which ThreadSanitizer cannot follow. True when it succeeded.
bool servidor(const QByteArray& ordre) {
    const QByteArray resposta = qgetenv("PW_RESPOSTA");
    std::remove(resposta.constData());
    FILE* ordres = std::fopen(std::getenv("PW_ORDRES"), "w");
    if (!ordres) return false;
    std::fputs((ordre + '\n').constData(), ordres);
    std::fclose(ordres);
    QFile estat(resposta);
    for (int espera = 0; !estat.open(QIODevice::ReadOnly); ++espera) {
        if (espera == 4000) { // the helper gives a line 30 s
            qWarning("no answer to: %s", ordre.constData());
            return false;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return estat.readAll().trimmed() == "0";
}

// What that line wrote, whatever its end (pw-dump may fail on an object that goes as it reads).
QByteArray sortida_de(const QByteArray& ordre) {
    servidor(ordre);
    QFile sortida(qEnvironmentVariable("PW_SORTIDA"));
    return sortida.open(QIODevice::ReadOnly) ? sortida.readAll() : QByteArray();
}

QJsonObject node_brisola() {
    for (const auto& o : QJsonDocument::fromJson(sortida_de("pw-dump")).array()) {
        QJsonObject info = o.toObject()["info"].toObject();
        if (o.toObject()["type"] == "PipeWire:Interface:Node" && info["props"].toObject()["node.name"] == "brisola")
            return info;
    }
    return {};
}

// How many of a recording's samples are at least half as loud as the tone.
int sonores_de_fitxer(const QString& cami) {
    SF_INFO format{};
    SNDFILE* f = sf_open(cami.toLocal8Bit().constData(), SFM_READ, &format);
    if (!f) return 0;
    std::vector<float> mostres(size_t(format.frames * format.channels));
    sf_count_t llegides = sf_read_float(f, mostres.data(), sf_count_t(mostres.size()));
    sf_close(f);
    return int(std::count_if(mostres.begin(), mostres.begin() + llegides, [](float m) { return std::fabs(m) > 0.25f; }));
}

// The server stopped dead (SIGSTOP) for as long as it lives, whatever the test finds meanwhile.
struct servidor_parat {
    servidor_parat() { servidor("kill -STOP $(cat $PW_SERVIDOR_PIDS)"); }
    ~servidor_parat() { servidor("kill -CONT $(cat $PW_SERVIDOR_PIDS)"); }
};

void font_muda(float* estereo, int frames) { std::fill(estereo, estereo + 2 * frames, 0.0f); }

// BRISOLA_AUDIO and SDL_AUDIODRIVER as given (empty: unset) for as long as it lives.
struct entorn_audio {
    entorn_audio(const QByteArray& brisola, const QByteArray& sdl) {
        for (auto [nom, valor] : {std::pair{"BRISOLA_AUDIO", brisola}, {"SDL_AUDIODRIVER", sdl}})
            valor.isEmpty() ? qunsetenv(nom) : qputenv(nom, valor);
    }
    ~entorn_audio() {
        qunsetenv("BRISOLA_AUDIO");
        qunsetenv("SDL_AUDIODRIVER");
    }
};

// What the output's watch said, from its own thread.
struct registre {
    std::mutex m;
    std::vector<resultat> resultats;
    std::function<void(resultat)> de() {
        return [this](resultat r) {
            std::lock_guard l(m);
            resultats.push_back(r);
        };
    }
    std::vector<resultat> llista() {
        std::lock_guard l(m);
        return resultats;
    }
    bool son(std::initializer_list<resultat> esperats) {
        std::lock_guard l(m);
        return std::equal(resultats.begin(), resultats.end(), esperats.begin(), esperats.end());
    }
};

} // namespace

class test_pipewire : public QObject {
    Q_OBJECT

private slots:
    void the_stream_sounds_in_the_sink_by_name_at_its_quantum() {
        to font;
        std::atomic<int> cicles{0}, fora{0}; // outlive the stream, whose thread counts them to the end
        sortida_pipewire sortida(std::ref(font));
        // Each render is told when its cycle began, on the monotonic clock the messages are stamped with:
        // never later than now, and not a second earlier, however busy the machine.
        sortida.set_cicle([&](int64_t ns) {
            using namespace std::chrono;
            const int64_t despres = duration_cast<nanoseconds>(steady_clock::now().time_since_epoch()).count() - ns;
            ++cicles;
            if (despres < 0 || despres > 1'000'000'000) ++fora;
        });
        QVERIFY2(sortida.obre(3000), qPrintable(sortida.motiu()));
        QTest::qWait(200);
        QCOMPARE(font.renders.load(), 0); // silent until started: another output may still be rendering
        QVERIFY(sortida.engega(3000));
        QCOMPARE(sortida.frames(), sortida_pipewire::quantum);
        // Rendered in real time where the system allows it: a busy machine then takes no quantum late.
        QTRY_VERIFY(font.renders > 0);
        // So does the thread that wakes it from a rest, or the first note after it would wait for its turn.
        if (temps_real_permes()) {
            QCOMPARE(font.politica.load() & ~SCHED_RESET_ON_FORK, SCHED_FIFO);
            QTRY_COMPARE(politica_del_fil("brisola-pw") & ~SCHED_RESET_ON_FORK, SCHED_FIFO);
        }
        QTRY_VERIFY(cicles > 10);
        QVERIFY(std::abs(cicles - font.renders) <= 1);
        QCOMPARE(fora.load(), 0);
        QJsonObject props = node_brisola()["props"].toObject();
        QCOMPARE(props["application.name"].toString(), QString("Brisola"));
        QCOMPARE(props["media.role"].toString(), QString("Music"));
        // The icon the desktop entry names, so the volume control shows ours.
        QFile entrada(BRISOLA_SOURCE_DIR "/data/escriptori/org.example.Brisola.desktop");
        QVERIFY(entrada.open(QIODevice::ReadOnly));
        const QString icona = QString::fromUtf8(entrada.readAll()).section("Icon=", 1).section('\n', 0, 0);
        QCOMPARE(props["application.icon-name"].toString(), icona);

        // Half a second of the tone in both channels, in one of a few recordings of 1.5 s: a
        // recorder started on a busy machine may link to the sink late.
        QTemporaryDir dir;
        const QString wav = dir.filePath("monitor.wav");
        int sonores = 0;
        for (int intent = 0; intent < 5 && sonores <= 48000 * 2 / 3; ++intent) {
            servidor("timeout 1.5 pw-record --target brisola_prova -P '{ stream.capture.sink = true }' --rate 48000 "
                     "--channels 2 --format f32 " + wav.toUtf8());
            sonores = sonores_de_fitxer(wav);
        }
        QVERIFY2(sonores > 48000 * 2 / 3, "the tone must reach the sink's monitor");
    }

    void at_rest_it_leaves_the_graph_and_a_wake_up_brings_it_back() {
        to font;
        std::atomic<bool> repos{false};
        std::atomic<int> despertars{0}, renders_en_despertar{-1};
        sortida_pipewire sortida(std::ref(font), [&] { return repos.load(); }, 200);
        sortida.set_despertat([&] { ++despertars, renders_en_despertar = font.renders.load(); });
        QVERIFY2(sortida.obre(3000) && sortida.engega(3000), qPrintable(sortida.motiu()));
        QTest::qWait(400);
        QVERIFY(sortida.activa()); // sounding, it never rests
        QCOMPARE(node_brisola()["state"].toString(), QString("running"));
        repos = true;
        QTRY_VERIFY_WITH_TIMEOUT(!sortida.activa(), 2000);
        QTRY_COMPARE(node_brisola()["state"].toString(), QString("idle"));
        const int renders = font.renders;
        QTest::qWait(300);
        QCOMPARE(font.renders.load(), renders); // nothing renders at rest

        sortida.desperta();
        QTRY_VERIFY(font.renders > renders);
        // Told once, before the first render after the rest, so that render knows its notes are not late.
        QCOMPARE(despertars.load(), 1);
        QCOMPARE(renders_en_despertar.load(), renders);
        QTRY_VERIFY_WITH_TIMEOUT(!sortida.activa(), 2000); // and, silent again, it rests again
    }

    void a_stream_opened_anew_after_a_wake_it_lost_marks_its_first_render() {
        to font;
        std::atomic<bool> repos{true}, abans_fet{false};
        std::atomic<int> despertars{0}, renders_en_despertar{-1};
        std::atomic<bool> abans_fet_en_despertar{false};
        sortida_pipewire sortida(std::ref(font), [&] { return repos.load(); }, 200);
        sortida.set_despertat([&] {
            ++despertars, renders_en_despertar = font.renders.load(), abans_fet_en_despertar = abans_fet.load();
        });
        QVERIFY2(sortida.obre(3000) && sortida.engega(3000), qPrintable(sortida.motiu()));
        QTRY_VERIFY_WITH_TIMEOUT(!sortida.activa(), 2000);
        {
            servidor_parat parat;
            repos = false;
            sortida.desperta(); // the device never comes back: the stream is given up
            QTRY_VERIFY(sortida.despertant());
            QVERIFY(servidor("kill -KILL $(cat $PW_SERVIDOR_PIDS); atura_servidor; torna_servidor"));
        }
        const int renders = font.renders;
        QVERIFY2(sortida.obre(3000), qPrintable(sortida.motiu()));
        QVERIFY(sortida.engega(3000, {}, [&] { abans_fet = true; })); // as the stand-in stops
        QTRY_VERIFY(font.renders > renders);
        // Told once, on the new stream, after the stand-in stopped and before the first render.
        QCOMPARE(despertars.load(), 1);
        QVERIFY(abans_fet_en_despertar);
        QCOMPARE(renders_en_despertar.load(), renders);
    }

    void with_no_server_it_says_why() {
        qputenv("PIPEWIRE_REMOTE", "cap-servidor");
        sortida_pipewire sortida([](float*, int) {});
        QVERIFY(!sortida.obre(3000));
        qunsetenv("PIPEWIRE_REMOTE");
        QVERIFY(!sortida.motiu().isEmpty());
    }

    void a_server_that_goes_away_is_noticed_and_the_next_one_taken() {
        to font;
        sortida_pipewire sortida(std::ref(font));
        QVERIFY2(sortida.obre(3000) && sortida.engega(3000), qPrintable(sortida.motiu()));
        QVERIFY(servidor("atura_servidor"));
        QTRY_VERIFY_WITH_TIMEOUT(sortida.perduda(), 3000);
        QVERIFY(servidor("torna_servidor"));
        QVERIFY2(sortida.obre(3000) && sortida.engega(3000), qPrintable(sortida.motiu()));
        const int renders = font.renders;
        QTRY_VERIFY(font.renders > renders);
    }

    void a_server_that_freezes_while_playing_leaves_the_stand_in_until_it_thaws() {
        entorn_audio nomes("pipewire", {});
        to font;
        registre r;
        sortida_audio sortida(std::ref(font), {},
                              {.servidor_ms = 1000, .entre_obertures_ms = 200, .maxim_entre_intents_ms = 400});
        sortida.obre_en_segon_pla(r.de());
        QTRY_VERIFY_WITH_TIMEOUT(r.son({resultat::so}), 5000);
        {
            servidor_parat parat;
            QTRY_VERIFY_WITH_TIMEOUT(r.son({resultat::so, resultat::mut}), 5000);
        }
        QTRY_VERIFY_WITH_TIMEOUT(r.son({resultat::so, resultat::mut, resultat::tornat}), 10000);
        const int renders = font.renders;
        QTRY_VERIFY(font.renders > renders);
        sortida.atura_obertura();
    }

    void a_device_slow_to_come_back_from_a_rest_is_waited_for_not_given_up() {
        entorn_audio nomes("pipewire", {});
        to font;
        registre r;
        std::atomic<bool> repos{false};
        sortida_audio sortida(std::ref(font));
        sortida.set_repos([&] { return repos.load(); });
        sortida.obre_en_segon_pla(r.de());
        QTRY_VERIFY_WITH_TIMEOUT(r.son({resultat::so}), 5000);
        repos = true;
        QTRY_COMPARE_WITH_TIMEOUT(node_brisola()["state"].toString(), QString("idle"), 10000);
        repos = false;
        {
            servidor_parat parat; // the device takes a second and a half to wake
            sortida.desperta();
            QTest::qWait(1500);
        }
        const int renders = font.renders;
        QTRY_VERIFY(font.renders > renders);
        QTest::qWait(500);
        QVERIFY(r.son({resultat::so})); // never given up, never reopened
        sortida.atura_obertura();
    }

    void a_lost_stream_is_awaited_again_even_where_sdl_would_open() {
        // SDL told by its hint, not by the variable that would choose it, writes to a file: it always opens.
        QTemporaryDir dir;
        entorn_audio cap({}, {});
        qputenv("SDL_DISKAUDIOFILE", dir.filePath("so.raw").toUtf8());
        SDL_SetHint(SDL_HINT_AUDIODRIVER, "disk");
        registre r;
        {
            sortida_audio sortida(std::ref(font_muda), {},
                                  {.servidor_ms = 1000, .entre_obertures_ms = 200, .maxim_entre_intents_ms = 1000});
            sortida.obre_en_segon_pla(r.de());
            QTRY_VERIFY_WITH_TIMEOUT(r.son({resultat::so}), 5000);
            QVERIFY(servidor("atura_servidor"));
            QTRY_VERIFY_WITH_TIMEOUT(r.llista().size() == 2, 5000);
            QCOMPARE(r.llista()[1], resultat::mut);
            QVERIFY(servidor("torna_servidor"));
            QTRY_VERIFY_WITH_TIMEOUT(r.llista().size() == 3, 15000);
            QCOMPARE(r.llista()[2], resultat::tornat);
            QCOMPARE(node_brisola()["props"].toObject()["application.name"].toString(), QString("Brisola"));
            sortida.atura_obertura();
        }
        SDL_ResetHint(SDL_HINT_AUDIODRIVER);
        qunsetenv("SDL_DISKAUDIOFILE");
    }

    void asked_for_pipewire_with_no_server_it_keeps_time_in_silence_not_on_sdl() {
        QTemporaryDir dir;
        entorn_audio nomes("pipewire", {});
        qputenv("PIPEWIRE_REMOTE", "cap-servidor");
        qputenv("SDL_DISKAUDIOFILE", dir.filePath("so.raw").toUtf8());
        SDL_SetHint(SDL_HINT_AUDIODRIVER, "disk"); // an SDL that would always open
        registre r;
        {
            sortida_audio sortida(font_muda, {}, {.servidor_ms = 500});
            sortida.obre_en_segon_pla(r.de());
            QTRY_VERIFY(r.son({resultat::mut}));
            sortida.atura_obertura();
        }
        SDL_ResetHint(SDL_HINT_AUDIODRIVER);
        qunsetenv("SDL_DISKAUDIOFILE");
        qunsetenv("PIPEWIRE_REMOTE");
        QVERIFY(!QFile::exists(dir.filePath("so.raw")));
    }

    void quitting_never_waits_on_a_server_that_takes_the_stream_and_never_answers() {
        const QByteArray nom = "brisola-muda";
        sockaddr_un lloc{};
        lloc.sun_family = AF_UNIX;
        const QByteArray cami = qgetenv("XDG_RUNTIME_DIR") + "/" + nom;
        std::copy(cami.begin(), cami.end(), lloc.sun_path);
        const int muda = socket(AF_UNIX, SOCK_STREAM, 0);
        QCOMPARE(bind(muda, reinterpret_cast<sockaddr*>(&lloc), sizeof lloc), 0);
        QCOMPARE(listen(muda, 8), 0);
        qputenv("PIPEWIRE_REMOTE", nom);
        entorn_audio nomes("pipewire", {});
        registre r;
        auto* sortida = new sortida_audio(font_muda, {}, {.servidor_ms = 60000});
        sortida->obre_en_segon_pla(r.de());
        QTest::qWait(300);
        auto acabat = std::make_shared<std::atomic<bool>>(false);
        std::thread([sortida, acabat] {
            delete sortida;
            *acabat = true;
        }).detach();
        QTRY_VERIFY_WITH_TIMEOUT(*acabat, 10000);
        QVERIFY(r.llista().empty()); // it was still waiting
        qunsetenv("PIPEWIRE_REMOTE");
        ::close(muda);
        QFile::remove(cami);
    }

    void quitting_never_waits_on_a_server_that_froze_while_sdl_played() {
        // Its pid beside the server's, so the wrapper stops it should the case end early.
        const QByteArray pulse =
            sortida_de("pipewire-pulse >/dev/null 2>&1 & echo $! | tee -a $PW_SERVIDOR_PIDS").trimmed();
        QVERIFY(pulse.toInt() > 0);
        const QString socol = qEnvironmentVariable("XDG_RUNTIME_DIR") + "/pulse/native";
        QTRY_VERIFY(QFile::exists(socol));
        entorn_audio sdl({}, "pulseaudio");
        registre r;
        to font; // the output left behind keeps a reference, but is muted before it is left
        auto* sortida = new sortida_audio(std::ref(font), {}, {.tancament_ms = 200});
        sortida->obre_en_segon_pla(r.de());
        QTRY_VERIFY_WITH_TIMEOUT(r.son({resultat::so}), 5000);
        QTest::qWait(300);
        ::kill(pid_t(pulse.toInt()), SIGSTOP);
        auto acabat = std::make_shared<std::atomic<bool>>(false);
        std::thread([sortida, acabat] {
            delete sortida;
            *acabat = true;
        }).detach();
        QTRY_VERIFY_WITH_TIMEOUT(*acabat, 10000);
        const int renders = font.renders;
        ::kill(pid_t(pulse.toInt()), SIGCONT);
        QTest::qWait(300);
        QCOMPARE(font.renders.load(), renders); // the output left behind, thawed, renders nothing more
        QTRY_COMPARE(sortida_audio::sdl_ocupat(), 0); // and has closed before anything opens SDL again
        QVERIFY(servidor("kill " + pulse + "; while kill -0 " + pulse + " 2>/dev/null; do sleep 0.05; done"));
    }

    void the_output_takes_the_server_unless_told_otherwise_data() {
        QTest::addColumn<QByteArray>("brisola_audio");
        QTest::addColumn<QByteArray>("sdl_audiodriver");
        QTest::addColumn<bool>("nativa");
        QTest::newRow("as it comes") << QByteArray() << QByteArray() << true;
        QTest::newRow("SDL asked for") << QByteArray("sdl") << QByteArray() << false;
        QTest::newRow("an SDL driver chosen") << QByteArray() << QByteArray("dummy") << false;
        QTest::newRow("PipeWire asked for") << QByteArray("pipewire") << QByteArray("dummy") << true;
    }
    void the_output_takes_the_server_unless_told_otherwise() {
        QFETCH(QByteArray, brisola_audio);
        QFETCH(QByteArray, sdl_audiodriver);
        QFETCH(bool, nativa);
        entorn_audio triat(brisola_audio, sdl_audiodriver);
        to font;
        std::atomic<bool> obert{false};
        sortida_audio sortida(std::ref(font));
        sortida.obre_en_segon_pla([&](sortida_audio::resultat) { obert = true; });
        QTRY_VERIFY_WITH_TIMEOUT(obert, 7000);
        QCOMPARE(node_brisola()["props"].toObject()["application.name"] == "Brisola", nativa);
        sortida.atura_obertura();
        // SDL may still be trying its drivers for the opening given up: the next case opens SDL.
        QTRY_COMPARE_WITH_TIMEOUT(sortida_audio::sdl_ocupat(), 0, 20000);
    }
};

QTEST_GUILESS_MAIN(test_pipewire)
#include "test_pipewire.moc"
