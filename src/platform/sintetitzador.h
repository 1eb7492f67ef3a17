#pragma once
// The built-in General MIDI synthesizer. Messages arrive on the window thread
// stamped with their time; the audio thread renders them at their own frame,
// one fixed latency after that time (to FluidSynth's own blocks of 64 frames), so
// the sound keeps the timers' time. While nothing sounds, nothing is rendered.
#include "cua_spsc.h"

#include <QString>

#include <array>
#include <atomic>
#include <cstdint>
#include <functional>
#include <optional>
#include <thread>
#include <vector>

struct _fluid_hashtable_t;
struct _fluid_sfont_t;
struct _fluid_synth_t;

namespace brisola {

class sintetitzador {
public:
    // `rellotge` gives, in nanoseconds of the monotonic clock, the time a message
    // belongs to: a timer tick's due time, else now. `ara` tells the audio thread
    // the time (the monotonic clock's now when not given).
    sintetitzador(double freq_mostreig, std::function<int64_t()> rellotge = {}, std::function<int64_t()> ara = {});
    ~sintetitzador();
    sintetitzador(const sintetitzador&) = delete;
    sintetitzador& operator=(const sintetitzador&) = delete;

    // The soundfont BRISOLA_SOUNDFONT names (empty when it names none).
    static QString soundfont_triat();
    // That soundfont when it exists, else the system's General MIDI one, else empty.
    static QString troba_soundfont();

    // Loads now; false when the file is missing or not a soundfont.
    bool carrega(const QString& cami);
    // Loads on a thread of its own so the window shows at once; `fet` runs
    // on that thread with whether it loaded.
    void carrega_en_segon_pla(const QString& cami, std::function<void(bool)> fet);
    bool carregat() const { return carregat_.load(); }
    // Waits for a load started by carrega_en_segon_pla.
    void espera_carrega();
    // The loaded soundfont, for the song player's synthesizer to share; waits
    // for a load still running. Null when none could be loaded.
    _fluid_sfont_t* soundfont();

    // Reads into memory the samples of these programs (and of the drum kit),
    // off the audio thread, before a song's player asks for them there.
    void precarrega(const std::vector<int>& programes);

    // The audio period, set once the output is open: it fixes the latency, which
    // grows with the longest block rendered since.
    void set_periode(int frames);
    int periode() const { return periode_.load(); }
    // From a message's time to the moment it sounds: a period and the wake-up margin
    // (none when the output says when its cycle began).
    int64_t latencia_ns() const;

    // The level: `guany` over the whole synthesizer (1: as it starts), and each
    // MIDI channel's amplitude factor (at most 1).
    void set_guanys(double guany, const std::array<double, 16>& canals);

    // One channel message, bytes as they go on the wire, stamped with its time.
    void envia(uint8_t estat, uint8_t dada1, uint8_t dada2);
    // Runs after each message is queued (window thread), for an output that rests to wake up.
    void set_despertador(std::function<void()> desperta) { despertador_ = std::move(desperta); }
    // Audio thread, after a render: no voice sounds and no message waits.
    bool callat() const { return silenci_ > 0 && !pendent_ && cua_.buida(); }
    // Audio thread: fills `frames` interleaved stereo float frames.
    void render(float* sortida, int frames);
    // Audio thread, before a render: the output rested until now, so the first note sent
    // meanwhile (and what came with it) waited for it and is not dropped as late.
    void ve_del_repos() { ve_del_repos_ = true; }
    // Audio thread, before a render: the output's cycle that this render fills began at
    // `ns`, on the monotonic clock. An output whose own clock says so (the graph's) frees
    // the placing of this thread's wake-up jitter, and so of the margin kept for it.
    void comenca_cicle(int64_t ns) { cicle_ = ns; }
    // Audio thread, after a render: the period's first frame, the moment it was heard,
    // and a frame's length. Lays a capture of the output on the clock the journal keeps.
    struct marca {
        int64_t frame;
        double ns, ns_per_frame;
    };
    marca marca_del_periode() const { return sentit_; }
    // What the output played, in the order it played it: each message with the
    // moment it was heard, where the render actually placed it (a late message
    // lands later than its stamp says). The audio thread adds, one other thread takes.
    struct sentit {
        int64_t ns;
        uint32_t missatge; // status, data, data from the low byte up
    };
    std::optional<sentit> treu_sentit() { return sentits_.treu(); }
    // How far the heard clock runs from the placing: what is sent now, a song's
    // command too, is heard this long after its stamp and one latency.
    int64_t desfasament_del_sentit() const { return desfasament_sentit_.load(); }
    // How many times the synthesizer itself has rendered (a test's and a benchmark's look inside).
    uint64_t renders() const { return renders_; }

private:
    struct missatge {
        int64_t ns = 0;
        uint8_t estat = 0, dada1 = 0, dada2 = 0;
    };
    void aplica(const missatge& m);
    static bool es_nota(const missatge& m); // a note-on that starts a sound
    bool ha_caducat(const missatge& m, int64_t ara, std::optional<int64_t> primera_nota) const;
    void allibera_les_notes();
    void selecciona_al_carregador(int banc, int programa);
    // The output frame that a moment of the monotonic clock falls on, one latency later.
    int64_t frame_de(int64_t ns) const;
    int64_t al_bloc(int64_t frame) const;
    void ajusta_rellotge(int64_t ara_ns, int frames);
    void posa_rellotge(int64_t inici_ns, int frames);
    int64_t latencia_frames() const;
    void marca_el_sentit();
    void fes_saber(uint8_t estat, uint8_t dada1, uint8_t dada2);
    void sintetitza(float* sortida, int frames);
    bool en_repos() const;

    _fluid_hashtable_t* settings_ = nullptr;
    _fluid_synth_t* synth_ = nullptr;
    _fluid_synth_t* carregador_synth_ = nullptr; // selects presets off the audio thread, loading their samples
    std::function<int64_t()> rellotge_, ara_;
    std::function<void()> despertador_;
    double freq_;
    float guany_inicial_ = 0; // the synthesizer's own gain, which the level multiplies
    std::atomic<int> periode_{256}; // set by the thread that opens the output
    std::atomic<int> marge_;        // frames beyond a period: what the output's clock leaves uncertain
    std::thread carregador_;
    std::atomic<bool> carregat_{false};
    cua_spsc<missatge, 4096> cua_;
    std::atomic<bool> desbordada_{false}; // a message was lost: its note-off may have been one
    cua_spsc<sentit, 4096> sentits_; // nobody may take them (an offline render): then they are dropped

    // Audio thread only.
    std::optional<missatge> pendent_;
    bool ve_del_repos_ = false;
    std::optional<int64_t> cicle_;
    int64_t frames_ = 0;            // frames rendered so far
    int64_t frames_fluidsynth_ = 0; // of them, those FluidSynth rendered (not silence at rest)
    // The clock mapping, a delay-locked loop on the device's periods: the period
    // under way began at t0_ (frame inici_) and the next will begin at t1_.
    double t0_ = 0, t1_ = 0, periode_ns_ = 0;
    int64_t inici_ = 0;
    int frames_periode_ = 1;
    // The heard clock: the moment the period under way was heard.
    marca sentit_{};
    std::atomic<int64_t> desfasament_sentit_{0};
    int64_t silenci_ = INT64_MAX / 2; // frames since the last voice ended: at rest from the start
    std::atomic<uint64_t> renders_{0};
    int seguent_canal_carregador_ = 0; // the loader's channels keep the last 16 presets chosen in memory
};

} // namespace brisola
