#pragma once
// The desktop's own audio server: a native PipeWire stream, float stereo at
// 48 kHz in quanta of 128 frames, filled by the same render function as SDL's
// output. It shows in the desktop's volume control as "Brisola", and while the
// instrument rests it leaves the graph, so that the device can sleep.
#include <QString>

#include <spa/utils/hook.h>

#include <atomic>
#include <cstdint>
#include <functional>
#include <mutex>
#include <string>

struct pw_context;
struct pw_core;
struct pw_stream;
struct pw_thread_loop;
struct spa_source;

namespace brisola {

class sortida_pipewire {
public:
    using font = std::function<void(float* frames_estereo, int frames)>;
    // Audio thread, after each render: true while nothing sounds, nothing plays and nothing waits.
    using en_repos = std::function<bool()>;
    static constexpr int freq_mostreig = 48000;
    static constexpr int quantum = 128;
    // How long the instrument rests before the stream leaves the graph.
    static constexpr int repos_ms = 5000;

    explicit sortida_pipewire(font render, en_repos repos = {}, int espera_repos_ms = repos_ms);
    ~sortida_pipewire();
    sortida_pipewire(const sortida_pipewire&) = delete;
    sortida_pipewire& operator=(const sortida_pipewire&) = delete;

    // Audio thread, before the first render after a rest: what was sent meanwhile
    // waited for the stream, it is not late. Set before opening.
    void set_despertat(std::function<void()> despertat) { despertat_ = std::move(despertat); }
    // Audio thread, before each render: when the graph's cycle it fills began, on the
    // monotonic clock, free of this thread's own wake-up jitter. Set before opening.
    void set_cicle(std::function<void(int64_t)> cicle) { cicle_ = std::move(cicle); }

    // Connects, silent, and waits up to `espera_ms` for the server to take the
    // stream, or until `atura` is set: false when no server answers in time
    // (motiu() says why), and nothing stays open.
    bool obre(int espera_ms, const std::atomic<bool>& atura = sense_atura);
    // Joins the graph, and waits as obre() does for its first quantum (false when
    // none came: motiu() says why), so that frames() is the graph's own; then runs
    // `abans` and starts rendering. Until then the graph is given silence.
    bool engega(int espera_ms, const std::atomic<bool>& atura = sense_atura, const std::function<void()>& abans = {});
    void tanca();
    // The server went away or the stream failed: only tanca() and obre() again help.
    bool perduda() const { return perduda_; }
    // Any thread, never waits: a resting stream joins the graph again.
    void desperta();
    bool activa() const { return activa_; }
    // Woken from a rest, and nothing rendered since: the device may be coming back from suspend.
    bool despertant() const { return despertant_; }
    // The frames of the latest quantum the graph asked for.
    int frames() const { return frames_; }
    // How many quanta the graph has asked for: a server that froze asks for none.
    uint64_t quanta() const { return quanta_; }
    QString motiu() const { return motiu_; }

private:
    friend struct gestor_pipewire;
    void processa();
    void diu_el_cicle();
    void canvia_estat(int estat, const char* error);
    void revisa_repos();
    void bucle_en_temps_real();
    void compta_repos(int frames);
    bool espera(int ms, const std::atomic<bool>& fet, const std::atomic<bool>& atura);
    static inline const std::atomic<bool> sense_atura{false};

    font render_;
    en_repos repos_;
    std::function<void()> despertat_;
    std::function<void(int64_t)> cicle_;
    pw_thread_loop* bucle_ = nullptr;
    pw_context* context_ = nullptr;
    pw_core* nucli_ = nullptr;
    pw_stream* stream_ = nullptr;
    spa_hook escolta_{};
    spa_source* avis_ = nullptr; // wakes the loop's thread from the audio thread or the window's
    std::mutex avis_mutex_;     // desperta() against tanca()
    QString motiu_;
    std::string error_; // the stream's own, written on the loop's thread
    std::atomic<bool> perduda_{false}, connectada_{false}, rebut_{false}, engegada_{false}, activa_{false};
    std::atomic<int> frames_{quantum};
    std::atomic<uint64_t> quanta_{0};
    std::atomic<bool> despertant_{false}; // set by the loop's thread as the rest ends
    std::atomic<bool> renderitza_{false}; // once engega() has heard the graph
    // The rest: the audio thread asks for it, naming the wake-ups it had seen;
    // the loop's thread grants it unless a wake-up came since.
    std::atomic<uint64_t> despertades_{0}, repos_demanat_{0};
    std::atomic<bool> demana_repos_{false};
    bool temps_real_ = false;         // the loop's thread asked for real time
    uint64_t despertades_vistes_ = 0; // audio thread
    int64_t frames_en_repos_ = 0;     // audio thread
    int64_t frames_fins_repos_;
};

} // namespace brisola
