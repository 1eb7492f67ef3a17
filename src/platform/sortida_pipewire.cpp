#include "sortida_pipewire.h"

#include <pipewire/pipewire.h>
#include <spa/param/audio/format-utils.h>

#include <algorithm>
#include <chrono>
#include <string>

namespace brisola {

// PipeWire's callbacks, which reach the stream's private parts.
struct gestor_pipewire {
    static void processa(void* jo) { static_cast<sortida_pipewire*>(jo)->processa(); }
    static void estat(void* jo, pw_stream_state, pw_stream_state ara, const char* error) {
        static_cast<sortida_pipewire*>(jo)->canvia_estat(ara, error);
    }
    static void avis(void* jo, uint64_t) { static_cast<sortida_pipewire*>(jo)->revisa_repos(); }
    static pw_stream_events events() {
        pw_stream_events e{};
        e.version = PW_VERSION_STREAM_EVENTS;
        e.state_changed = &estat;
        e.process = &processa;
        return e;
    }
};

namespace {

const pw_stream_events events_stream = gestor_pipewire::events();

// Who we are to the desktop: its volume control shows the name and icon, and the
// session manager keeps the person's volume for the role.
pw_properties* propietats() {
    pw_properties* p = pw_properties_new(PW_KEY_MEDIA_TYPE, "Audio", PW_KEY_MEDIA_CATEGORY, "Playback",
                                         PW_KEY_MEDIA_ROLE, "Music", PW_KEY_APP_NAME, "Brisola",
                                         PW_KEY_APP_ICON_NAME, "org.example.Brisola", PW_KEY_NODE_NAME, "brisola",
                                         PW_KEY_NODE_DESCRIPTION, "Brisola", PW_KEY_MEDIA_NAME, "Brisola", nullptr);
    pw_properties_setf(p, PW_KEY_NODE_LATENCY, "%d/%d", sortida_pipewire::quantum, sortida_pipewire::freq_mostreig);
    return p;
}

int connecta(pw_stream* stream) {
    uint8_t memoria[256];
    spa_pod_builder b = SPA_POD_BUILDER_INIT(memoria, sizeof(memoria));
    spa_audio_info_raw format{};
    format.format = SPA_AUDIO_FORMAT_F32;
    format.rate = sortida_pipewire::freq_mostreig;
    format.channels = 2;
    format.position[0] = SPA_AUDIO_CHANNEL_FL;
    format.position[1] = SPA_AUDIO_CHANNEL_FR;
    const spa_pod* parametres[] = {spa_format_audio_raw_build(&b, SPA_PARAM_EnumFormat, &format)};
    const auto opcions =
        pw_stream_flags(PW_STREAM_FLAG_AUTOCONNECT | PW_STREAM_FLAG_MAP_BUFFERS | PW_STREAM_FLAG_RT_PROCESS |
                        PW_STREAM_FLAG_INACTIVE); // until engega(): another output may still be rendering
    return pw_stream_connect(stream, PW_DIRECTION_OUTPUT, PW_ID_ANY, opcions, parametres, 1);
}

} // namespace

sortida_pipewire::sortida_pipewire(font render, en_repos repos, int espera_repos_ms)
    : render_(std::move(render)), repos_(std::move(repos)),
      frames_fins_repos_(int64_t(espera_repos_ms) * freq_mostreig / 1000) {
    pw_init(nullptr, nullptr);
}

sortida_pipewire::~sortida_pipewire() {
    tanca();
    pw_deinit();
}

bool sortida_pipewire::obre(int espera_ms, const std::atomic<bool>& atura) {
    tanca();
    perduda_ = connectada_ = rebut_ = engegada_ = renderitza_ = temps_real_ = false;
    error_.clear();
    bucle_ = pw_thread_loop_new("brisola-pw", nullptr);
    if (!bucle_ || pw_thread_loop_start(bucle_) != 0) {
        motiu_ = "PipeWire could not start its thread";
        tanca();
        return false;
    }
    pw_thread_loop_lock(bucle_);
    pw_loop* bucle = pw_thread_loop_get_loop(bucle_);
    // The real-time configuration: the thread that renders then keeps the quantum's
    // deadline on a busy machine, where the system lets it.
    context_ = pw_context_new(bucle, pw_properties_new(PW_KEY_CONFIG_NAME, "client-rt.conf", nullptr), 0);
    nucli_ = context_ ? pw_context_connect(context_, nullptr, 0) : nullptr;
    stream_ = nucli_ ? pw_stream_new(nucli_, "Brisola", propietats()) : nullptr;
    if (stream_) pw_stream_add_listener(stream_, &escolta_, &events_stream, this);
    bool obert = stream_ && connecta(stream_) == 0;
    if (obert) {
        std::lock_guard<std::mutex> l(avis_mutex_);
        avis_ = pw_loop_add_event(bucle, &gestor_pipewire::avis, this);
    }
    obert = obert && espera(espera_ms, connectada_, atura);
    if (!obert) motiu_ = !error_.empty() ? QString::fromStdString(error_)
                         : stream_      ? "the PipeWire server does not answer"
                                        : "no PipeWire server answers";
    pw_thread_loop_unlock(bucle_);
    if (!obert) tanca();
    return obert;
}

bool sortida_pipewire::engega(int espera_ms, const std::atomic<bool>& atura, const std::function<void()>& abans) {
    pw_thread_loop_lock(bucle_);
    engegada_ = activa_ = true;
    pw_stream_set_active(stream_, true);
    const bool sona = espera(espera_ms, rebut_, atura);
    if (!sona) motiu_ = !error_.empty() ? QString::fromStdString(error_) : "the PipeWire server plays nothing";
    pw_thread_loop_unlock(bucle_);
    if (sona && abans) abans();
    renderitza_ = sona;
    return sona;
}

// With the loop locked: up to `ms` for `fet`, unless the stream is lost or `atura`
// is set, which is looked at every 50 ms.
bool sortida_pipewire::espera(int ms, const std::atomic<bool>& fet, const std::atomic<bool>& atura) {
    using namespace std::chrono;
    const auto fi = steady_clock::now() + milliseconds(ms);
    while (!fet && !perduda_ && !atura) {
        const auto resta = duration_cast<nanoseconds>(fi - steady_clock::now()).count();
        if (resta <= 0) break;
        timespec tall{};
        pw_thread_loop_get_time(bucle_, &tall, std::min<int64_t>(resta, 50 * SPA_NSEC_PER_MSEC));
        pw_thread_loop_timed_wait_full(bucle_, &tall);
    }
    return fet && !perduda_;
}

void sortida_pipewire::tanca() {
    if (!bucle_) return;
    pw_thread_loop_lock(bucle_);
    if (stream_) pw_stream_destroy(stream_); // first: its audio thread signals the loop
    stream_ = nullptr;
    if (nucli_) pw_core_disconnect(nucli_);
    nucli_ = nullptr;
    {
        std::lock_guard<std::mutex> l(avis_mutex_);
        if (avis_) pw_loop_destroy_source(pw_thread_loop_get_loop(bucle_), avis_);
        avis_ = nullptr;
    }
    if (context_) pw_context_destroy(context_);
    context_ = nullptr;
    pw_thread_loop_unlock(bucle_);
    pw_thread_loop_stop(bucle_);
    pw_thread_loop_destroy(bucle_);
    bucle_ = nullptr;
    activa_ = false;
}

void sortida_pipewire::desperta() {
    despertades_.fetch_add(1);
    if (!demana_repos_) return;
    std::lock_guard<std::mutex> l(avis_mutex_);
    if (avis_) pw_loop_signal_event(pw_thread_loop_get_loop(bucle_), avis_);
}

// Audio thread.
void sortida_pipewire::processa() {
    pw_buffer* b = pw_stream_dequeue_buffer(stream_);
    if (!b) return;
    spa_data& d = b->buffer->datas[0];
    const uint32_t pas = 2 * sizeof(float);
    uint32_t n = d.data ? d.maxsize / pas : 0;
    if (b->requested) n = std::min<uint32_t>(n, uint32_t(b->requested));
    if (n > 0 && renderitza_) {
        // Told just before this thread renders, never while a stand-in still may. A wake
        // whose stream was lost carries over to the next one: what was sent waited for it.
        if (despertant_.exchange(false) && despertat_) despertat_();
        diu_el_cicle();
        render_(static_cast<float*>(d.data), int(n));
    } else if (n > 0) {
        std::fill_n(static_cast<float*>(d.data), 2 * n, 0.0f);
    }
    d.chunk->offset = 0;
    d.chunk->stride = int32_t(pas);
    d.chunk->size = n * pas;
    pw_stream_queue_buffer(stream_, b);
    frames_ = int(n);
    ++quanta_;
    if (!rebut_.exchange(true)) pw_loop_signal_event(pw_thread_loop_get_loop(bucle_), avis_);
    compta_repos(int(n));
}

// Audio thread.
void sortida_pipewire::diu_el_cicle() {
    pw_time temps{};
    if (cicle_ && pw_stream_get_time_n(stream_, &temps, sizeof temps) == 0 && temps.now > 0) cicle_(temps.now);
}

// Audio thread: after repos_ms at rest, asks the loop's thread to take the stream out of the graph.
void sortida_pipewire::compta_repos(int frames) {
    const uint64_t vistes = despertades_.load();
    if (vistes != despertades_vistes_ || !repos_ || !repos_()) {
        despertades_vistes_ = vistes;
        frames_en_repos_ = 0;
        return;
    }
    frames_en_repos_ += frames;
    if (frames_en_repos_ < frames_fins_repos_ || demana_repos_) return;
    repos_demanat_ = vistes;
    demana_repos_ = true;
    pw_loop_signal_event(pw_thread_loop_get_loop(bucle_), avis_);
}

// The loop's thread: the first quantum arrived, or the rest was asked for, or a wake-up came.
void sortida_pipewire::revisa_repos() {
    if (!temps_real_) bucle_en_temps_real();
    pw_thread_loop_signal(bucle_, false);
    if (!engegada_) return;
    const bool repos = demana_repos_ && repos_demanat_ == despertades_;
    if (!repos) demana_repos_ = false;
    if (activa_ != repos) return;
    activa_ = !repos;
    despertant_ = !repos;
    pw_stream_set_active(stream_, !repos);
}

// The loop's thread, which wakes the stream from a rest: on a busy machine the first
// note after it would wait for this thread's turn. Real time where the system lets it,
// at the least priority: above every ordinary thread, below the one that renders.
void sortida_pipewire::bucle_en_temps_real() {
    temps_real_ = true;
    auto* fils = context_ ? static_cast<spa_thread_utils*>(pw_context_get_object(context_, SPA_TYPE_INTERFACE_ThreadUtils))
                          : nullptr;
    if (fils) spa_thread_utils_acquire_rt(fils, reinterpret_cast<spa_thread*>(pthread_self()), 1);
}

// The loop's thread.
void sortida_pipewire::canvia_estat(int estat, const char* error) {
    if (estat == PW_STREAM_STATE_PAUSED || estat == PW_STREAM_STATE_STREAMING) connectada_ = true;
    if (estat == PW_STREAM_STATE_ERROR || (estat == PW_STREAM_STATE_UNCONNECTED && connectada_)) {
        perduda_ = true;
        if (error) error_ = error;
    }
    pw_thread_loop_signal(bucle_, false);
}

} // namespace brisola
