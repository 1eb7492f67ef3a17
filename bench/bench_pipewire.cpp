// The desktop's audio server as a person hears it: note-ons sent at random
// moments to the built-in synthesizer, through the native stream and through SDL
// on the same server, found in the sink's monitor and timed when they reached the
// sink (the monitor hears a cycle late); then the process's share of a core while
// the instrument rests, and the first note after that rest, with the sink asleep (the
// note alone, or the person's input a moment before it) and with it running; and 64 notes held, whose missed quanta show as holes. For the
// native stream, where the time goes: the stream's own cycles say when the sink was
// given each frame.
// Beside a server of its own:
//   tests/pipewire/amb_servidor.sh build/bench/bench_pipewire [quantum]
#include "mesura.h"
#include "platform/media_interpret.h"
#include "platform/sintetitzador.h"
#include "platform/sortida_audio.h"
#include "platform/sortida_pipewire.h"

#include <pipewire/pipewire.h>
#include <spa/param/audio/format-utils.h>

#include <QCoreApplication>
#include <QFile>
#include <QProcess>

#include <SDL.h>

#include <cstdio>
#include <mutex>
#include <random>
#include <sys/resource.h>
#include <thread>

using namespace brisola;

namespace {

constexpr int freq = 48000;

void espera_ms(int ms) { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); }

// A capture stream on the test sink's monitor: every frame, and when its cycle began. It
// reads what the sink was given in the cycle before, so it hears everything one cycle
// late; it asks for the quantum under test, so that it never sets the graph's own.
class monitor {
public:
    explicit monitor(int quantum) {
        // Room for a whole measurement: growing on the real-time thread would cost the graph quanta.
        mostres_.reserve(size_t(freq) * 30);
        blocs_.reserve(size_t(freq) * 30 / 64);
        bucle_ = pw_thread_loop_new("monitor", nullptr);
        pw_thread_loop_start(bucle_);
        pw_thread_loop_lock(bucle_);
        static const pw_stream_events events = [] {
            pw_stream_events e{};
            e.version = PW_VERSION_STREAM_EVENTS;
            e.process = [](void* jo) { static_cast<monitor*>(jo)->processa(); };
            return e;
        }();
        // Real-time, as the program's own stream: a capture that misses quanta would lose the notes in them.
        context_ = pw_context_new(pw_thread_loop_get_loop(bucle_),
                                  pw_properties_new(PW_KEY_CONFIG_NAME, "client-rt.conf", nullptr), 0);
        nucli_ = pw_context_connect(context_, nullptr, 0);
        pw_properties* propietats = pw_properties_new(PW_KEY_MEDIA_TYPE, "Audio", PW_KEY_MEDIA_CATEGORY, "Capture",
                                             PW_KEY_TARGET_OBJECT, "brisola_prova", PW_KEY_STREAM_CAPTURE_SINK, "true",
                                             nullptr);
        pw_properties_setf(propietats, PW_KEY_NODE_LATENCY, "%d/%d", quantum, freq);
        stream_ = pw_stream_new(nucli_, "monitor", propietats);
        pw_stream_add_listener(stream_, &escolta_, &events, this);
        uint8_t memoria[256];
        spa_pod_builder b = SPA_POD_BUILDER_INIT(memoria, sizeof(memoria));
        spa_audio_info_raw format{};
        format.format = SPA_AUDIO_FORMAT_F32;
        format.rate = freq;
        format.channels = 1;
        format.position[0] = SPA_AUDIO_CHANNEL_MONO;
        const spa_pod* p[] = {spa_format_audio_raw_build(&b, SPA_PARAM_EnumFormat, &format)};
        pw_stream_connect(stream_, PW_DIRECTION_INPUT, PW_ID_ANY,
                          pw_stream_flags(PW_STREAM_FLAG_AUTOCONNECT | PW_STREAM_FLAG_MAP_BUFFERS |
                                          PW_STREAM_FLAG_RT_PROCESS),
                          p, 1);
        pw_thread_loop_unlock(bucle_);
    }
    ~monitor() {
        pw_thread_loop_lock(bucle_);
        pw_stream_destroy(stream_);
        pw_core_disconnect(nucli_);
        pw_context_destroy(context_);
        pw_thread_loop_unlock(bucle_);
        pw_thread_loop_stop(bucle_);
        pw_thread_loop_destroy(bucle_);
    }
    // When each sound that began after `des_de` reached the sink.
    std::vector<int64_t> inicis_des_de(int64_t des_de) {
        std::lock_guard<std::mutex> l(m_);
        std::vector<int64_t> r;
        for (long k : inicis(mostres_, 0, freq)) {
            auto b = std::upper_bound(blocs_.begin(), blocs_.end(), std::pair<long, int64_t>{k, INT64_MAX});
            int64_t t = std::prev(b)->second + (k - std::prev(b)->first) * 1000000000LL / freq;
            if (t >= des_de) r.push_back(t);
        }
        return r;
    }
    // Quanta the sink got nothing for while it sounded: each whole quantum of exact silence.
    int forats(int quantum) {
        std::lock_guard<std::mutex> l(m_);
        int forats = 0, zeros = 0;
        bool sona = false;
        for (float m : mostres_) {
            sona = sona || std::fabs(m) > 0.01f;
            zeros = m == 0.0f ? zeros + 1 : 0;
            if (sona && zeros > 0 && zeros % quantum == 0) ++forats;
        }
        return forats;
    }

private:
    void processa() {
        pw_buffer* b = pw_stream_dequeue_buffer(stream_);
        if (!b) return;
        pw_time temps{};
        pw_stream_get_time_n(stream_, &temps, sizeof(temps));
        const spa_data& d = b->buffer->datas[0];
        const auto* f = static_cast<const float*>(d.data);
        {
            std::lock_guard<std::mutex> l(m_);
            blocs_.emplace_back(long(mostres_.size()), temps.now);
            if (f) mostres_.insert(mostres_.end(), f + d.chunk->offset / 4, f + (d.chunk->offset + d.chunk->size) / 4);
        }
        pw_stream_queue_buffer(stream_, b);
    }
    pw_thread_loop* bucle_;
    pw_context* context_;
    pw_core* nucli_;
    pw_stream* stream_;
    spa_hook escolta_{};
    std::mutex m_;
    std::vector<float> mostres_;
    std::vector<std::pair<long, int64_t>> blocs_; // first frame of each buffer, and its cycle's time
};

// What the program's own stream gave the graph, cycle by cycle: its left channel, when
// each cycle began on the graph's clock and when the render thread woke for it. A sound's
// place in it then has the time the sink was given it, with no capture in between.
class emissio {
public:
    emissio() {
        mostres_.reserve(size_t(freq) * 120);
        cicles_.reserve(size_t(freq) * 120 / 64);
    }
    void comenca(int64_t inici) {
        std::lock_guard<std::mutex> l(m_);
        cicles_.push_back({inici, ara_ns(), 0, long(mostres_.size())});
    }
    void afegeix(const float* estereo, int frames) {
        std::lock_guard<std::mutex> l(m_);
        for (int f = 0; f < frames; ++f) mostres_.push_back(estereo[2 * f]);
        if (!cicles_.empty()) cicles_.back().acabat = ara_ns();
    }
    std::vector<int64_t> inicis_des_de(int64_t des_de) {
        std::lock_guard<std::mutex> l(m_);
        std::vector<int64_t> r;
        for (long k : inicis(mostres_, 0, freq)) {
            auto c = std::upper_bound(cicles_.begin(), cicles_.end(), k,
                                      [](long f, const cicle& c) { return f < c.frame; });
            int64_t t = std::prev(c)->inici + (k - std::prev(c)->frame) * 1000000000LL / freq;
            if (t >= des_de) r.push_back(t);
        }
        return r;
    }
    // How late the render thread woke after its cycle began, in ms.
    std::vector<double> desvetllaments() {
        std::lock_guard<std::mutex> l(m_);
        std::vector<double> r;
        for (const cicle& c : cicles_) r.push_back(double(c.despert - c.inici) / 1e6);
        return r;
    }
    // For the cycles that began after `t`, in ms: how long each render took, and how long
    // after its cycle began it was done (past one quantum, the sink had nothing of it).
    std::vector<double> durades_des_de(int64_t t) { return des_de(t, &cicle::despert); }
    std::vector<double> fets_des_de(int64_t t) { return des_de(t, &cicle::inici); }
    // The first cycles the render thread woke for after `t`: when each began, and when it woke, after `t` in ms.
    std::vector<std::pair<double, double>> cicles_despres(int64_t t, size_t quants) {
        std::lock_guard<std::mutex> l(m_);
        std::vector<std::pair<double, double>> r;
        for (const cicle& c : cicles_)
            if (c.despert > t && r.size() < quants) r.emplace_back(double(c.inici - t) / 1e6, double(c.despert - t) / 1e6);
        return r;
    }

private:
    struct cicle {
        int64_t inici, despert, acabat;
        long frame;
    };
    std::vector<double> des_de(int64_t t, int64_t cicle::*comenca) {
        std::lock_guard<std::mutex> l(m_);
        std::vector<double> r;
        for (const cicle& c : cicles_)
            if (c.inici > t && c.acabat > 0) r.push_back(double(c.acabat - c.*comenca) / 1e6);
        return r;
    }
    std::mutex m_;
    std::vector<float> mostres_;
    std::vector<cicle> cicles_;
};

// Sends claves at random moments; returns when each was sent.
std::vector<int64_t> toca(sintetitzador& synth, int notes) {
    std::mt19937 atzar(3);
    std::vector<int64_t> enviats;
    for (int n = 0; n < notes; ++n) {
        espera_ms(120 + int(atzar() % 20));
        enviats.push_back(ara_ns());
        synth.envia(0x99, 75, 120);
    }
    espera_ms(300);
    return enviats;
}

// From each note-on to the first sound after it, in ms, less what the listener adds (the monitor's cycle).
std::vector<double> retards(const std::vector<int64_t>& enviats, const std::vector<int64_t>& sentits,
                            double afegit_ms = 0) {
    std::vector<double> r;
    for (int64_t e : enviats) {
        auto s = std::lower_bound(sentits.begin(), sentits.end(), e);
        if (s != sentits.end()) r.push_back(double(*s - e) / 1e6 - afegit_ms);
    }
    return r;
}

double cpu_s() {
    rusage u{};
    getrusage(RUSAGE_SELF, &u);
    return double(u.ru_utime.tv_sec + u.ru_stime.tv_sec) + double(u.ru_utime.tv_usec + u.ru_stime.tv_usec) / 1e6;
}

// How long the claves' sound takes to rise from its first frame: rendered offline, the
// note on FluidSynth's block grid, as the detector finds it.
double pujada_ms() {
    int64_t ara = 0;
    sintetitzador synth(freq, [&] { return ara; }, [&] { return ara; });
    synth.carrega(sintetitzador::troba_soundfont());
    synth.set_periode(128);
    std::vector<float> estereo(2 * 128 * 40), esquerra;
    for (int k = 0; k < 40; ++k) {
        ara = k * 128 * 1000000000LL / freq;
        if (k == 20) synth.envia(0x99, 75, 120); // stamped as cycle 20 begins: placed at cycle 21's first frame
        synth.comenca_cicle(ara);
        synth.render(estereo.data() + 2 * 128 * k, 128);
    }
    for (size_t f = 0; f < estereo.size(); f += 2) esquerra.push_back(estereo[f]);
    const std::vector<long> r = inicis(esquerra, 0, freq);
    return r.empty() ? std::nan("") : double(r[0] - 21 * 128) * 1000.0 / freq;
}

// Where the time goes on the native stream: the synthesizer's placing (from the note-on
// to its place in what the stream gives the sink), and what the capture adds after it.
// Gives back the median of the first.
double desglossa(const std::vector<int64_t>& enviats, emissio& propia, monitor& m) {
    const std::vector<double> donats = retards(enviats, propia.inicis_des_de(0));
    const std::vector<int64_t> a_la_sortida = propia.inicis_des_de(0), al_monitor = m.inicis_des_de(0);
    std::vector<double> captura;
    for (int64_t t : a_la_sortida) {
        auto c = std::lower_bound(al_monitor.begin(), al_monitor.end(), t - 1000000);
        if (c != al_monitor.end()) captura.push_back(double(*c - t) / 1e6);
    }
    const std::vector<double> desvetllat = propia.desvetllaments();
    std::printf("pipewire: given to the sink %.2f ms after the note-on (median; p99 %.2f): the synthesizer's placing, "
                "one quantum, then FluidSynth's 64-frame blocks (0 to 1.33 ms), then the claves' own rise (%.2f ms); "
                "the monitor's capture has it %.2f ms later (median; %.2f to %.2f); the render thread wakes %.3f ms "
                "after its cycle begins (median; p99 %.3f)\n",
                percentil(donats, 0.5), percentil(donats, 0.99), pujada_ms(), percentil(captura, 0.5),
                percentil(captura, 0), percentil(captura, 1), percentil(desvetllat, 0.5), percentil(desvetllat, 0.99));
    return percentil(donats, 0.5);
}

// The first note after a rest against the running stream's median (`mediana`), within one quantum and 5 ms.
void desglossa_el_despertar(const char* com, int64_t enviada, emissio& propia, double mediana, int quantum) {
    const std::vector<double> donada = retards({enviada}, propia.inicis_des_de(0));
    const double d = donada.empty() ? -1.0 : donada[0];
    std::printf("pipewire: after a rest, %s, the first note is given to the sink %.2f ms after it is sent, %.2f ms "
                "later than the median (limit %.2f); the first cycles (began / rendered, ms after the note-on):",
                com, d, d - mediana, quantum * 1000.0 / freq + 5);
    for (auto [inici, despert] : propia.cicles_despres(enviada, 12)) std::printf(" %.2f/%.2f", inici, despert);
    std::printf("\n");
}

// One output: its quantum, the note-ons' delays, the share of a core at rest, and
// how much later than a running output's median the first note after the rest sounds.
void mesura(const QString& nom, sintetitzador& synth, int quantum, emissio* propia = nullptr,
            const std::function<void()>& desperta = {}) {
    const double cicle_ms = quantum * 1000.0 / freq;
    std::vector<double> r;
    double donada = 0; // the native stream's median, as given to the sink
    {
        monitor m(quantum);
        espera_ms(500);
        const std::vector<int64_t> enviats = toca(synth, 100); // before the onsets are looked for
        r = retards(enviats, m.inicis_des_de(0), cicle_ms);
        if (propia) donada = desglossa(enviats, *propia, m);
    }
    espera_ms(sortida_pipewire::repos_ms + 1000); // the voices end, and the rest begins
    const double cpu = cpu_s();
    espera_ms(30000);
    const double repos = (cpu_s() - cpu) / 30 * 100;
    if (propia) { // nothing else holds the sink: it was suspended
        desglossa_el_despertar("the sink asleep", toca(synth, 1)[0], *propia, donada, quantum);
        // The stream rests, then the session manager suspends the sink; the person's input
        // (the pointer moving) wakes both a moment before the note it leads to.
        espera_ms(2 * sortida_pipewire::repos_ms + 1000);
        desperta();
        desglossa_el_despertar("the sink asleep, woken by the person's input 120 to 140 ms before the note",
                               toca(synth, 1)[0], *propia, donada, quantum);
        espera_ms(sortida_pipewire::repos_ms + 1000);
    }
    monitor m(quantum); // it keeps the sink running, as another program playing would
    espera_ms(500);
    const std::vector<int64_t> enviada = toca(synth, 1);
    const std::vector<double> primera = retards(enviada, m.inicis_des_de(0), cicle_ms);
    if (propia) desglossa_el_despertar("the sink running", enviada[0], *propia, donada, quantum);
    const double mediana = percentil(r, 0.5), limit = quantum * 1000.0 / freq + 5;
    std::printf("%s: %s %d, note-on to sound median %.2f ms p99 %.2f ms; at rest %.2f %% CPU (%d of 100 notes "
                "found; at the sink, as the graph gives it at a cycle's start, before any device's own buffer; as the "
                "monitor captures it, a cycle later: median %.2f ms p99 %.2f ms)\n",
                qPrintable(nom), propia ? "quantum" : "buffer", quantum, mediana, percentil(r, 0.99), repos,
                int(r.size()), mediana + cicle_ms, percentil(r, 0.99) + cicle_ms);
    if (!propia) return; // SDL never rests
    if (primera.empty()) std::printf("%s: the first note after a rest was not heard\n", qPrintable(nom));
    else
        std::printf("%s: the first note after a rest sounds %.2f ms after it is sent, %.2f ms later than the median "
                    "(limit: one quantum and 5 ms, %.2f ms)\n",
                    qPrintable(nom), primera[0], primera[0] - mediana, limit);
}

// 64 organ notes held for 10 s: the quanta the stream missed show as holes in what the sink played.
void mesura_veus(sintetitzador& synth, int quantum, emissio& propia) {
    monitor m(quantum);
    const int64_t inici = ara_ns();
    for (int canal = 0; canal < 8; ++canal) {
        synth.envia(uint8_t(0xC0 | canal), 19, 0);
        for (int nota = 0; nota < 8; ++nota) synth.envia(uint8_t(0x90 | canal), uint8_t(40 + 4 * nota + canal), 90);
    }
    espera_ms(10000);
    for (int canal = 0; canal < 8; ++canal) synth.envia(uint8_t(0xB0 | canal), 123, 0);
    const std::vector<double> durades = propia.durades_des_de(inici), fets = propia.fets_des_de(inici);
    const double cicle_ms = quantum * 1000.0 / freq;
    std::printf("pipewire: quantum %d, 64 notes held for 10 s: %d quanta missed; a quantum renders in %.3f ms (median; "
                "p99 %.3f, longest %.3f) of its %.3f ms; done past its quantum %ld times (latest %.3f ms after its "
                "cycle began: the render thread woke late)\n",
                quantum, m.forats(quantum), percentil(durades, 0.5), percentil(durades, 0.99), percentil(durades, 1),
                cicle_ms, long(std::count_if(fets.begin(), fets.end(), [&](double f) { return f > cicle_ms; })),
                percentil(fets, 1));
}

// A note that wakes the stream: how long the loop's thread takes to ask the graph for it again.
void espera_l_activacio(const sortida_pipewire& pipewire) {
    const int64_t desperta = ara_ns();
    while (!pipewire.activa() && ara_ns() - desperta < 1000000000) std::this_thread::yield();
    std::printf("pipewire: woken, the stream asks to join the graph %.3f ms after the note-on\n",
                double(ara_ns() - desperta) / 1e6);
}

bool mesura_pipewire(sintetitzador& synth, const sortida_pipewire::font& render,
                     const sortida_pipewire::en_repos& repos) {
    emissio propia;
    sortida_pipewire pipewire(
        [&](float* frames, int n) {
            render(frames, n);
            propia.afegeix(frames, n);
        },
        repos);
    pipewire.set_despertat([&synth] { synth.ve_del_repos(); });
    pipewire.set_cicle([&](int64_t inici) {
        propia.comenca(inici);
        synth.comenca_cicle(inici);
    });
    if (!pipewire.obre(3000) || !pipewire.engega(3000)) {
        std::fprintf(stderr, "No PipeWire server: %s\n", qPrintable(pipewire.motiu()));
        return false;
    }
    synth.set_periode(pipewire.frames());
    synth.set_despertador([&] {
        pipewire.desperta();
        if (!pipewire.activa()) espera_l_activacio(pipewire);
    });
    mesura("pipewire", synth, pipewire.frames(), &propia, [&] { pipewire.desperta(); });
    mesura_veus(synth, pipewire.frames(), propia);
    synth.set_despertador({});
    return true;
}

// SDL on the same server through its PulseAudio service, the way SDL reaches a desktop's server.
bool mesura_sdl(sintetitzador& synth, const sortida_audio::font& render) {
    qunsetenv("PIPEWIRE_LATENCY"); // SDL's path as it comes
    QProcess pulse;
    pulse.start("pipewire-pulse", {});
    const QString socol = qEnvironmentVariable("XDG_RUNTIME_DIR") + "/pulse/native";
    for (int i = 0; i < 50 && !QFile::exists(socol); ++i) espera_ms(100);
    qputenv("BRISOLA_AUDIO", "sdl");
    qputenv("SDL_AUDIODRIVER", "pulseaudio");
    std::atomic<int> resultat{-1};
    {
        sortida_audio sdl(render);
        sdl.obre_en_segon_pla([&](sortida_audio::resultat r) { resultat = int(r); });
        while (resultat < 0) espera_ms(10);
        if (resultat != int(sortida_audio::resultat::so)) {
            std::fprintf(stderr, "SDL did not open on the server: %s\n", qPrintable(sdl.motiu()));
            return false;
        }
        synth.set_periode(sdl.frames());
        mesura(QString("sdl (%1)").arg(SDL_GetCurrentAudioDriver()), synth, sdl.frames());
        sdl.atura_obertura();
    }
    pulse.terminate();
    pulse.waitForFinished(3000);
    return true;
}

} // namespace

// An argument asks the graph for that quantum instead of the program's own (64: the least it allows here).
int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    if (argc > 1) qputenv("PIPEWIRE_LATENCY", QByteArray(argv[1]) + "/48000");
    pw_init(nullptr, nullptr); // for the monitor's streams
    sintetitzador synth(freq);
    if (!synth.carrega(sintetitzador::troba_soundfont())) {
        std::fprintf(stderr, "No General MIDI soundfont: install fluid-soundfont-gm.\n");
        return 1;
    }
    media_interpret media(synth, freq);
    const auto render = [&](float* frames, int n) {
        synth.render(frames, n);
        media.mescla(frames, n);
    };
    const bool fet = mesura_pipewire(synth, render, [&] { return synth.callat() && !media.sona(); }) &&
                     mesura_sdl(synth, render);
    pw_deinit();
    return fet ? 0 : 1;
}
