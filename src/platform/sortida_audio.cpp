#include "sortida_audio.h"

#include <SDL.h>

#include <csignal>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <string>
#include <vector>

extern char** environ;

namespace brisola {

namespace {

enum class resposta { obert, refusat, cap };

// A child that opens the system's output: a server that never answers holds it, not us.
pid_t llanca_sonda(const QString& programa) {
    std::string cami = programa.toStdString(), marca = "BRISOLA_SONDA_AUDIO=1";
    std::vector<char*> entorn;
    for (char** e = environ; *e; ++e) entorn.push_back(*e);
    entorn.push_back(marca.data());
    entorn.push_back(nullptr);
    char* args[] = {cami.data(), nullptr};
    pid_t pid = 0;
    return posix_spawn(&pid, cami.c_str(), nullptr, nullptr, args, entorn.data()) == 0 ? pid : -1;
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

// How the child ended, or cap when it has not within `ms` (or `atura` was set).
resposta espera_sonda(pid_t pid, int ms, const std::atomic<bool>& atura) {
    int estat = 0;
    if (!espera_que(ms, atura, [&] { return waitpid(pid, &estat, WNOHANG) == pid; })) return resposta::cap;
    return WIFEXITED(estat) && WEXITSTATUS(estat) == 0 ? resposta::obert : resposta::refusat;
}

void acaba_sonda(pid_t pid) {
    kill(pid, SIGKILL);
    waitpid(pid, nullptr, 0);
}

} // namespace

sortida_audio::sortida_audio(font render, QString sonda) : render_(std::move(render)), sonda_(std::move(sonda)) {}

sortida_audio::~sortida_audio() {
    atura_obertura();
    tanca();
}

void sortida_audio::tanca() {
    if (dispositiu_ == 0) return;
    SDL_CloseAudioDevice(dispositiu_);
    SDL_AudioQuit();
    dispositiu_ = 0;
}

void sortida_audio::callback(void* jo, unsigned char* bytes, int mida) {
    auto* self = static_cast<sortida_audio*>(jo);
    self->render_(reinterpret_cast<float*>(bytes), mida / int(2 * sizeof(float)));
}

bool sortida_audio::obre_amb(const char* driver) {
    if (SDL_AudioInit(driver) != 0) return false;
    SDL_AudioSpec vull{}, tinc{};
    vull.freq = freq_mostreig;
    vull.format = AUDIO_F32SYS;
    vull.channels = 2;
    vull.samples = frames_per_periode;
    vull.callback = &sortida_audio::callback;
    vull.userdata = this;
    dispositiu_ = SDL_OpenAudioDevice(nullptr, 0, &vull, &tinc, SDL_AUDIO_ALLOW_SAMPLES_CHANGE);
    if (dispositiu_ == 0) {
        SDL_AudioQuit();
        return false;
    }
    driver_ = SDL_GetCurrentAudioDriver();
    frames_ = tinc.samples;
    SDL_PauseAudioDevice(dispositiu_, 0);
    return true;
}

sortida_audio::resultat sortida_audio::obre() {
    SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
    if (obre_amb(nullptr)) return resultat::so;
    motiu_ = SDL_GetError();
    return obre_amb("dummy") ? resultat::mut : resultat::cap;
}

void sortida_audio::obre_en_segon_pla(std::function<void(resultat)> fet) {
    obridor_ = std::thread([this, fet = std::move(fet)] {
        obre_i_espera(fet);
        reobre_si_es_perd(fet);
        SDL_TLSCleanup(); // SDL keeps its error text per thread: a thread not its own frees it by hand
    });
}

void sortida_audio::obre_i_espera(const std::function<void(resultat)>& fet) {
    pid_t sonda = sonda_.isEmpty() ? -1 : llanca_sonda(sonda_);
    if (sonda < 0 || espera_sonda(sonda, espera_servidor_ms, atura_) != resposta::cap) return fet(obre());
    // The server does not answer: silence keeps the time meanwhile, and a late answer is taken.
    SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
    motiu_ = "the audio server does not answer";
    fet(obre_amb("dummy") ? resultat::mut : resultat::cap);
    resposta tard = resposta::cap;
    while (!atura_ && tard == resposta::cap) tard = espera_sonda(sonda, 1000, atura_);
    if (tard == resposta::cap) return acaba_sonda(sonda);
    if (tard != resposta::obert) return;
    tanca();
    if (obre_amb(nullptr)) return fet(resultat::so);
    obre_amb("dummy");
}

// SDL gives up on an output whose device went away (a headset unplugged, the audio
// server restarted, a write that failed) and goes on calling us in silence: the
// instrument opens the system's output again, as at the start.
void sortida_audio::reobre_si_es_perd(const std::function<void(resultat)>& fet) {
    const auto perduda = [this] {
        return dispositiu_ != 0 && SDL_GetAudioDeviceStatus(dispositiu_) == SDL_AUDIO_STOPPED;
    };
    while (!atura_) {
        if (!espera_que(1000, atura_, perduda, 100)) continue;
        tanca();
        fet(obre());
        // An output that fails again at once is not reopened in a tight loop.
        espera_que(pausa_entre_obertures_ms, atura_, [] { return false; });
    }
}

void sortida_audio::atura_obertura() {
    atura_ = true;
    if (obridor_.joinable()) obridor_.join();
}

int sortida_audio::sonda() {
    sortida_audio prova([](float* frames, int n) { std::fill(frames, frames + 2 * n, 0.0f); });
    SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
    return prova.obre_amb(nullptr) ? 0 : 1;
}

} // namespace brisola
