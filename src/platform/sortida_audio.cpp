#include "sortida_audio.h"

#include "sonda_audio.h"

#include <SDL.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <limits>

namespace brisola {

// One opening of the system's output, on a thread of its own that is left behind
// when the audio server hangs: it shares only this with the watch.
struct sortida_audio::obertura {
    // Done, or given up by the watch (at quitting): whichever of the two comes second
    // closes a device that opened meanwhile.
    enum { obrint, acabada, abandonada };
    std::atomic<int> estat{obrint};
    std::atomic<bool> atura{false}; // cuts the probe's wait short
    unsigned dispositiu = 0; // opened paused: nothing plays until the watch takes it
    int frames = 0;
    QString motiu;
    std::shared_ptr<canal_sdl> canal; // lives as long as the opening, which may outlive the output
};

// What SDL's audio thread calls. Closing an output can hang on a server that froze,
// and is then left behind: the thread left with it keeps this, muted, and nothing else.
struct sortida_audio::canal_sdl {
    font render;
    std::atomic<bool> mut{false};
};

// What the watch has seen of the native stream: its count of quanta, since when
// that count stands, and when it last rested or waited for its device.
struct sortida_audio::quanta_vistos {
    uint64_t quanta;
    std::chrono::steady_clock::time_point des_de, en_repos;
};

namespace {

const QString no_respon = "the audio server does not answer";
using obertura = sortida_audio::obertura;

enum class triada { qualsevol, sdl, pipewire };

triada sortida_triada() {
    const QByteArray tria = qgetenv("BRISOLA_AUDIO");
    if (tria == "sdl") return triada::sdl;
    if (tria == "pipewire") return triada::pipewire;
    return qEnvironmentVariableIsSet("SDL_AUDIODRIVER") ? triada::sdl : triada::qualsevol;
}

// Looks every `pas_ms`, for up to `ms`, until `fet()` holds: false when it did not or `atura` was set.
template <class condicio>
bool espera_que(int ms, const std::atomic<bool>& atura, condicio fet, int pas_ms = 10) {
    auto fi = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
    while (!atura && std::chrono::steady_clock::now() < fi) {
        if (fet()) return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(pas_ms));
    }
    return false;
}

void espera(int ms, const std::atomic<bool>& atura) {
    espera_que(ms, atura, [] { return false; });
}

const std::atomic<bool> mai{false};

// SDL's audio is one per process: an output still closing, left behind on a server
// that froze, or an opening given up at quitting, would close whatever opened after
// it. Each holds SDL while it runs, and no other opening starts meanwhile.
std::atomic<int> fils_dins_sdl{0};

// The system's output, paused, with the period it gave in `frames`; 0 when it would not open.
unsigned obre_dispositiu(SDL_AudioCallback callback, void* jo, int& frames) {
    SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
    if (SDL_AudioInit(nullptr) != 0) return 0;
    SDL_AudioSpec vull{}, tinc{};
    vull.freq = sortida_audio::freq_mostreig;
    vull.format = AUDIO_F32SYS;
    vull.channels = 2;
    vull.samples = sortida_audio::frames_per_periode;
    vull.callback = callback;
    vull.userdata = jo;
    unsigned dispositiu = SDL_OpenAudioDevice(nullptr, 0, &vull, &tinc, SDL_AUDIO_ALLOW_SAMPLES_CHANGE);
    if (dispositiu == 0) SDL_AudioQuit();
    else frames = tinc.samples;
    return dispositiu;
}

// The probe first, so that a server that hangs holds the child; then the output
// itself, which may still hang should the server stop between the two. Counted in
// fils_dins_sdl from before its thread starts, so that a wait for SDL to be free
// never misses it; it lowers the count as it ends.
void obre(const std::shared_ptr<obertura>& o, const QString& sonda, int espera_sonda_ms,
          SDL_AudioCallback callback) {
    if (!sonda.isEmpty()) {
        sonda_audio s(sonda);
        auto r = s.espera(espera_sonda_ms, o->atura);
        if (r != sonda_audio::resposta::obert) {
            o->motiu = r == sonda_audio::resposta::cap ? no_respon : s.motiu();
            o->estat = obertura::acabada;
            --fils_dins_sdl;
            return;
        }
    }
    const bool ocupat = fils_dins_sdl > 1; // another opening, or a close left behind
    if (o->estat != obertura::abandonada) {
        if (ocupat) SDL_SetError("the previous audio output is still closing");
        else o->dispositiu = obre_dispositiu(callback, o->canal.get(), o->frames);
        if (o->dispositiu == 0) o->motiu = SDL_GetError();
    }
    if (o->estat.exchange(obertura::acabada) == obertura::abandonada && o->dispositiu != 0) {
        SDL_CloseAudioDevice(o->dispositiu);
        SDL_AudioQuit();
    }
    SDL_TLSCleanup(); // SDL keeps its error text per thread: a thread not its own frees it by hand
    --fils_dins_sdl;
}

} // namespace

sortida_audio::sortida_audio(font render, QString sonda, esperes_audio temps)
    : render_(std::move(render)), pipewire_(render_, [this] { return repos_ && repos_(); }),
      sonda_(std::move(sonda)), temps_(temps) {}

sortida_audio::~sortida_audio() {
    atura_obertura();
    substitut_.reset();
    tanca();
}

void sortida_audio::tanca() {
    pipewire_.tanca();
    if (dispositiu_ != 0) tanca_sdl();
}

// SDL's close waits for its audio thread, which a server that froze holds for good:
// the output is muted first (SDL's lock waits only for a render under way), then
// closed on a thread of its own that is left behind past tancament_ms.
void sortida_audio::tanca_sdl() {
    SDL_LockAudioDevice(dispositiu_);
    canal_->mut = true;
    SDL_UnlockAudioDevice(dispositiu_);
    auto tancat = std::make_shared<std::atomic<bool>>(false);
    ++fils_dins_sdl;
    std::thread([dispositiu = dispositiu_, canal = canal_, tancat] {
        SDL_CloseAudioDevice(dispositiu);
        SDL_AudioQuit();
        SDL_TLSCleanup();
        *tancat = true;
        --fils_dins_sdl;
    }).detach();
    espera_que(temps_.tancament_ms, mai, [&tancat] { return tancat->load(); });
    dispositiu_ = 0;
    canal_.reset();
}

void sortida_audio::callback(void* jo, unsigned char* bytes, int mida) {
    auto* canal = static_cast<canal_sdl*>(jo);
    if (canal->mut) std::fill_n(bytes, mida, 0);
    else canal->render(reinterpret_cast<float*>(bytes), mida / int(2 * sizeof(float)));
}

void sortida_audio::obre_en_segon_pla(std::function<void(resultat)> fet) {
    obridor_ = std::thread([this, fet = std::move(fet)] {
        vigila(fet);
        SDL_TLSCleanup();
    });
}

void sortida_audio::vigila(const std::function<void(resultat)>& fet) {
    int pausa = temps_.entre_obertures_ms;
    while (!atura_) {
        if (prova_el_sistema(fet)) {
            pausa = temps_.entre_obertures_ms;
            // An output that fails again at once is not reopened in a tight loop.
            espera(temps_.entre_obertures_ms, atura_);
            espera_que_es_perdi();
            tanca();
            continue;
        }
        if (atura_) return;
        posa_substitut(fet);
        espera(pausa, atura_);
        pausa = std::min(2 * pausa, temps_.maxim_entre_intents_ms);
    }
}

// True once the system's output plays. Past servidor_ms the stand-in plays
// meanwhile, and an answer that comes later is taken all the same.
bool sortida_audio::prova_el_sistema(const std::function<void(resultat)>& fet) {
    // A native stream lost is awaited again rather than SDL's: that would hold the device it needs.
    const triada tria = nativa_ha_sonat_ ? triada::pipewire : sortida_triada();
    const auto inici = std::chrono::steady_clock::now();
    if (tria != triada::sdl && pipewire_.obre(temps_.servidor_ms, atura_)) return posa_pipewire(fet);
    if (tria == triada::pipewire || atura_) {
        motiu_ = pipewire_.motiu();
        return false;
    }
    const auto passat = std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - inici);
    return prova_sdl(fet, std::max(0, temps_.servidor_ms - int(passat.count())));
}

bool sortida_audio::prova_sdl(const std::function<void(resultat)>& fet, int espera_ms) {
    auto o = std::make_shared<obertura>();
    o->canal = std::make_shared<canal_sdl>();
    o->canal->render = render_;
    ++fils_dins_sdl;
    std::thread(obre, o, sonda_, temps_.resposta_tardana_ms, &sortida_audio::callback).detach();
    const auto acabada = [&o] { return o->estat == obertura::acabada; };
    if (!espera_que(espera_ms, atura_, acabada) && !atura_) {
        motiu_ = no_respon;
        posa_substitut(fet);
        while (!atura_ && !espera_que(1000, atura_, acabada)) {}
    }
    if (atura_) {
        o->atura = true;
        if (o->estat.exchange(obertura::abandonada) == obertura::acabada && o->dispositiu != 0) {
            dispositiu_ = o->dispositiu; // closed as an output that played, in case its server froze
            canal_ = o->canal;
        }
        return false;
    }
    if (o->dispositiu == 0) {
        motiu_ = o->motiu;
        return false;
    }
    dispositiu_ = o->dispositiu;
    canal_ = o->canal;
    frames_ = o->frames;
    const bool tornat = substitut_ != nullptr;
    substitut_.reset(); // the render function is never called from two threads at once
    SDL_PauseAudioDevice(dispositiu_, 0);
    fet(tornat ? resultat::tornat : resultat::so);
    return true;
}

bool sortida_audio::posa_pipewire(const std::function<void(resultat)>& fet) {
    const bool tornat = substitut_ != nullptr;
    // The stand-in keeps time until the graph asks for sound, and stops before the
    // stream renders: the render function is never called from two threads at once.
    if (!pipewire_.engega(temps_.servidor_ms, atura_, [this] { substitut_.reset(); })) {
        motiu_ = pipewire_.motiu();
        pipewire_.tanca();
        return false;
    }
    nativa_ha_sonat_ = true;
    frames_ = pipewire_.frames();
    fet(tornat ? resultat::tornat : resultat::so);
    return true;
}

// SDL gives up on an output whose device went away (a headset unplugged, the
// audio server restarted, a write that failed) and goes on calling us in silence.
// A native stream says when it failed, but not when its server froze.
void sortida_audio::espera_que_es_perdi() {
    quanta_vistos vistos{pipewire_.quanta(), std::chrono::steady_clock::now(), {}};
    espera_que(
        std::numeric_limits<int>::max(), atura_,
        [&] {
            if (dispositiu_) return SDL_GetAudioDeviceStatus(dispositiu_) == SDL_AUDIO_STOPPED;
            return pipewire_.perduda() || pipewire_muda(vistos);
        },
        100);
}

// True once the stream, playing, has had no quantum for sense_quanta_ms; at rest it has none to have.
bool sortida_audio::pipewire_muda(quanta_vistos& vistos) const {
    const auto ara = std::chrono::steady_clock::now();
    if (!pipewire_.activa() || pipewire_.despertant()) vistos.en_repos = ara;
    if (!pipewire_.activa() || pipewire_.quanta() != vistos.quanta) {
        vistos.quanta = pipewire_.quanta();
        vistos.des_de = ara;
        return false;
    }
    // A device coming back from suspend can take seconds before it asks for sound,
    // and may stop again for a while as the graph settles after its first quantum.
    const auto gracia = std::chrono::milliseconds(5 * temps_.sense_quanta_ms);
    const auto limit = ara - vistos.en_repos < gracia ? gracia : std::chrono::milliseconds(temps_.sense_quanta_ms);
    return ara - vistos.des_de > limit;
}

void sortida_audio::posa_substitut(const std::function<void(resultat)>& fet) {
    if (substitut_) return;
    frames_ = frames_per_periode;
    substitut_ = std::make_unique<substitut_audio>(render_, freq_mostreig, frames_per_periode);
    fet(resultat::mut);
}

void sortida_audio::atura_obertura() {
    atura_ = true;
    if (obridor_.joinable()) obridor_.join();
}

int sortida_audio::sdl_ocupat() { return fils_dins_sdl; }

int sortida_audio::sonda(const char* pare) {
    if (!sonda_audio::lligada_a(pid_t(std::atoll(pare)))) return 1;
    int frames = 0;
    const bool obert = obre_dispositiu(&sortida_audio::callback, nullptr, frames) != 0;
    sonda_audio::respon(obert, SDL_GetError());
    std::_Exit(0); // closing the output could wait on the server; the answer is given
}

} // namespace brisola
