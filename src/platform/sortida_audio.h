#pragma once
// The audio device: 48 kHz stereo float in periods of 128 frames where the
// device takes them (else its own), filled by one render function on the
// desktop's PipeWire server where one answers, else on SDL's audio thread, or
// on the silent stand-in's while the system has no output. BRISOLA_AUDIO=sdl
// or =pipewire chooses one; a driver chosen for SDL (SDL_AUDIODRIVER) means SDL.
#include "sortida_pipewire.h"
#include "substitut_audio.h"

#include <QString>

#include <atomic>
#include <chrono>
#include <functional>
#include <memory>
#include <thread>

namespace brisola {

// How long the audio output waits, for what.
struct esperes_audio {
    // How long the system's audio server has to answer an opening before the stand-in plays.
    int servidor_ms = 3000;
    // The least time between two openings of an output that keeps being lost.
    int entre_obertures_ms = 1000;
    // While the stand-in plays, the system's output is tried again after a pause
    // that doubles from entre_obertures_ms up to this.
    int maxim_entre_intents_ms = 8000;
    // How long a probe's late answer is awaited before a fresh probe is tried.
    int resposta_tardana_ms = 20000;
    // How long a playing stream may go without a quantum before it counts as lost (a server that froze).
    int sense_quanta_ms = 1000;
    // How long closing may wait on a server that froze before it is left behind.
    int tancament_ms = 1000;
};

class sortida_audio {
public:
    using font = std::function<void(float* frames_estereo, int frames)>;
    static constexpr int freq_mostreig = sortida_pipewire::freq_mostreig;
    static constexpr int frames_per_periode = sortida_pipewire::quantum;

    // `sonda`: a program that, run with sonda_audio::argument, opens the system's
    // output and tells whether it could (see sonda()); empty: no probe.
    explicit sortida_audio(font render, QString sonda = {}, esperes_audio temps = {});
    // Never waits on the audio server: an opening still hanging is left behind.
    ~sortida_audio();
    sortida_audio(const sortida_audio&) = delete;
    sortida_audio& operator=(const sortida_audio&) = delete;

    // so: the system's output plays; mut: the stand-in keeps time in silence;
    // tornat: the system's output took the stand-in's place.
    enum class resultat { so, mut, tornat };
    // Opens the system's output on a thread of its own, which then watches it, so
    // that an audio server that does not answer never holds the window. Every
    // opening, first or later, is bounded by servidor_ms: past it, or when the
    // system has no output, the stand-in plays and the system's output is tried
    // again now and then. An output lost later on is opened again. `fet` runs on
    // that thread at each change, with motiu() and frames() telling the rest.
    void obre_en_segon_pla(std::function<void(resultat)> fet);
    // Ends the watch (at shut-down); the stand-in or the output plays on until destruction.
    void atura_obertura();
    // Audio thread, after a render: nothing sounds, nothing plays, nothing waits.
    // Set before opening: a PipeWire stream then rests (see sortida_pipewire).
    void set_repos(std::function<bool()> repos) { repos_ = std::move(repos); }
    // Audio thread, before the first render after a rest (see sortida_pipewire). Set before opening.
    void set_despertat(std::function<void()> despertat) { pipewire_.set_despertat(std::move(despertat)); }
    // The native stream's cycles, each as it begins (see sortida_pipewire::set_cicle).
    void set_cicle(std::function<void(int64_t)> cicle) { pipewire_.set_cicle(std::move(cicle)); }
    // Any thread, never waits: an output at rest wakes up.
    void desperta() { pipewire_.desperta(); }
    QString motiu() const { return motiu_; }
    // The period the device gave, in frames.
    int frames() const { return frames_; }

    // The probe's own work, in the child started by `pare`: opens the system's
    // output, answers, and ends (the exit status for main).
    static int sonda(const char* pare);
    // Openings and closings of SDL's output still running on threads left behind (none opens meanwhile).
    static int sdl_ocupat();

    struct obertura;
    struct canal_sdl;

private:
    static void callback(void* jo, unsigned char* bytes, int mida);
    void vigila(const std::function<void(resultat)>& fet);
    bool prova_el_sistema(const std::function<void(resultat)>& fet);
    bool prova_sdl(const std::function<void(resultat)>& fet, int espera_ms);
    bool posa_pipewire(const std::function<void(resultat)>& fet);
    void espera_que_es_perdi();
    struct quanta_vistos;
    bool pipewire_muda(quanta_vistos& vistos) const;
    void posa_substitut(const std::function<void(resultat)>& fet);
    void tanca();
    void tanca_sdl();
    font render_;
    std::function<bool()> repos_;
    sortida_pipewire pipewire_;
    QString sonda_;
    esperes_audio temps_;
    unsigned dispositiu_ = 0;
    std::shared_ptr<canal_sdl> canal_; // what the open SDL output calls
    bool nativa_ha_sonat_ = false;     // the watch's: once the native stream played, it is the one awaited
    QString motiu_;
    int frames_ = frames_per_periode;
    std::unique_ptr<substitut_audio> substitut_;
    std::thread obridor_;
    std::atomic<bool> atura_{false};
};

} // namespace brisola
