#pragma once
// The audio device: 48 kHz stereo float in periods of 128 frames where the
// device takes them (else its own), filled by one render function on SDL's audio thread.
#include <QString>

#include <atomic>
#include <functional>
#include <thread>

namespace brisola {

class sortida_audio {
public:
    using font = std::function<void(float* frames_estereo, int frames)>;
    static constexpr int freq_mostreig = 48000;
    static constexpr int frames_per_periode = 128;
    // How long the system's audio server has to answer before the instrument goes on without it.
    static constexpr int espera_servidor_ms = 3000;
    // The least time between two openings of an output that keeps being lost.
    static constexpr int pausa_entre_obertures_ms = 1000;

    // `sonda`: a program that, run with BRISOLA_SONDA_AUDIO set, opens the
    // system's output and ends (see sonda()); empty: the output is opened directly.
    explicit sortida_audio(font render, QString sonda = {});
    ~sortida_audio();
    sortida_audio(const sortida_audio&) = delete;
    sortida_audio& operator=(const sortida_audio&) = delete;

    enum class resultat { so, mut, cap };
    // Opens the system's audio output; when there is none, opens SDL's silent
    // dummy driver so that everything else keeps its timing (mut). motiu()
    // then tells the system's reason.
    resultat obre();
    // The same on a thread of its own, so that an audio server that does not
    // answer never holds the window: `fet` runs there with the result, at once
    // when the output opens or fails, or after espera_servidor_ms of silence
    // from the server (mut). Should the server answer later, its output takes
    // the dummy's place and `fet` runs again with `so`. Whenever the output is
    // lost later on, it is opened again and `fet` runs with the new result.
    void obre_en_segon_pla(std::function<void(resultat)> fet);
    // Ends a wait for the server and the watch over a lost output (at shut-down).
    void atura_obertura();
    QString motiu() const { return motiu_; }
    QString driver() const { return driver_; }
    // The period the device gave, in frames.
    int frames() const { return frames_; }

    // The probe's own work, in the child: 0 when the system's output opened.
    static int sonda();

private:
    static void callback(void* jo, unsigned char* bytes, int mida);
    bool obre_amb(const char* driver);
    void obre_i_espera(const std::function<void(resultat)>& fet);
    void reobre_si_es_perd(const std::function<void(resultat)>& fet);
    void tanca();
    font render_;
    QString sonda_;
    unsigned dispositiu_ = 0;
    QString driver_;
    QString motiu_;
    int frames_ = frames_per_periode;
    std::thread obridor_;
    std::atomic<bool> atura_{false};
};

} // namespace brisola
