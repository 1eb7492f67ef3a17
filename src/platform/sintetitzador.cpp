#include "sintetitzador.h"

#include <QFileInfo>

#include <fluidsynth.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstring>
#include <utility>

namespace brisola {

namespace {

int64_t ara_ns() {
    return std::chrono::duration_cast<std::chrono::nanoseconds>(std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

// The reverberation rings on after the last voice: rendering stops this long after it.
constexpr double cua_de_reverberacio = 1.5;      // seconds
constexpr int marge_de_latencia = 32;            // frames beyond one period: the callback's own wake-up jitter
constexpr double amplada_de_banda = 1.0;         // Hz: how quickly the mapping follows the device's clock
constexpr int64_t bloc_fluidsynth = 64;          // frames: FluidSynth starts voices only where its blocks begin
// A note that could not sound within this long of being played (no output was
// rendering) is not played at all: late notes would come out in one burst.
constexpr int64_t nota_caducada_ns = 100'000'000;

} // namespace

sintetitzador::sintetitzador(double freq_mostreig, std::function<int64_t()> rellotge, std::function<int64_t()> ara)
    : rellotge_(rellotge ? std::move(rellotge) : ara_ns), ara_(ara ? std::move(ara) : ara_ns), freq_(freq_mostreig),
      marge_(marge_de_latencia) {
    settings_ = new_fluid_settings();
    fluid_settings_setnum(settings_, "synth.sample-rate", freq_mostreig);
    fluid_settings_setint(settings_, "synth.threadsafe-api", 1);
    // Only the samples of the presets in use are read into memory.
    fluid_settings_setint(settings_, "synth.dynamic-sample-loading", 1);
    synth_ = new_fluid_synth(settings_);
    guany_inicial_ = fluid_synth_get_gain(synth_);
    carregador_synth_ = new_fluid_synth(settings_);
}

sintetitzador::~sintetitzador() {
    espera_carrega();
    if (fluid_sfont_t* sf = carregat_ ? fluid_synth_get_sfont(synth_, 0) : nullptr)
        fluid_synth_remove_sfont(carregador_synth_, sf);
    delete_fluid_synth(carregador_synth_);
    delete_fluid_synth(synth_);
    delete_fluid_settings(settings_);
}

QString sintetitzador::soundfont_triat() { return qEnvironmentVariable("BRISOLA_SOUNDFONT"); }

QString sintetitzador::troba_soundfont() {
    if (QString triat = soundfont_triat(); QFileInfo::exists(triat)) return triat;
    for (const char* cami : {"/usr/share/sounds/sf2/default-GM.sf2", "/usr/share/soundfonts/default.sf2",
                             "/usr/share/sounds/sf2/FluidR3_GM.sf2", "/usr/share/soundfonts/FluidR3_GM.sf2",
                             "/usr/share/sounds/sf2/TimGM6mb.sf2"})
        if (QFileInfo(cami).isReadable()) return cami;
    return {};
}

bool sintetitzador::carrega(const QString& cami) {
    if (cami.isEmpty() || !fluid_is_soundfont(cami.toLocal8Bit().constData())) return false;
    bool ok = fluid_synth_sfload(synth_, cami.toLocal8Bit().constData(), 1) != FLUID_FAILED;
    if (ok) fluid_synth_add_sfont(carregador_synth_, fluid_synth_get_sfont(synth_, 0));
    carregat_ = ok;
    return ok;
}

void sintetitzador::carrega_en_segon_pla(const QString& cami, std::function<void(bool)> fet) {
    carregador_ = std::thread([this, cami, fet = std::move(fet)] { fet(carrega(cami)); });
}

void sintetitzador::espera_carrega() {
    if (carregador_.joinable()) carregador_.join();
}

fluid_sfont_t* sintetitzador::soundfont() {
    espera_carrega();
    return carregat_ ? fluid_synth_get_sfont(synth_, 0) : nullptr;
}

void sintetitzador::set_periode(int frames) { periode_ = frames; }

int64_t sintetitzador::latencia_frames() const { return periode_.load() + marge_.load(); }

int64_t sintetitzador::latencia_ns() const { return std::llround(double(latencia_frames()) * 1e9 / freq_); }

void sintetitzador::set_guanys(double guany, const std::array<double, 16>& canals) {
    fluid_synth_set_gain(synth_, float(guany_inicial_ * guany));
    // A channel's attenuation (in centibels) reaches every voice it plays, now and later.
    for (int canal = 0; canal < 16; ++canal)
        fluid_synth_set_gen(synth_, canal, GEN_ATTENUATION,
                            float(-200 * std::log10(std::clamp(canals[size_t(canal)], 1e-5, 1.0))));
}

// The preset's samples are read here, on a synthesizer of its own: the audio
// thread then finds them in memory and never waits for the disk.
void sintetitzador::selecciona_al_carregador(int banc, int programa) {
    if (!carregat_) return;
    fluid_synth_bank_select(carregador_synth_, seguent_canal_carregador_, banc);
    fluid_synth_program_change(carregador_synth_, seguent_canal_carregador_, programa);
    seguent_canal_carregador_ = (seguent_canal_carregador_ + 1) % 16;
}

void sintetitzador::precarrega(const std::vector<int>& programes) {
    espera_carrega();
    for (int programa : programes) selecciona_al_carregador(0, programa);
}

void sintetitzador::envia(uint8_t estat, uint8_t dada1, uint8_t dada2) {
    if ((estat & 0xF0) == 0xC0) selecciona_al_carregador((estat & 0x0F) == 9 ? 128 : 0, dada1);
    if (!cua_.empeny({rellotge_(), estat, dada1, dada2})) desbordada_ = true;
    if (despertador_) despertador_();
}

bool sintetitzador::es_nota(const missatge& m) { return (m.estat & 0xF0) == 0x90 && m.dada2 > 0; }

// A note-on that waited too long is dropped, so nothing bursts out late. After a rest
// the first note waited for the output, and so did what came with it; what came after,
// while a slow device woke, is dropped as any late note is.
bool sintetitzador::ha_caducat(const missatge& m, int64_t ara, std::optional<int64_t> primera_nota) const {
    const bool amb_la_primera = primera_nota && m.ns - *primera_nota <= nota_caducada_ns;
    return es_nota(m) && ara - m.ns > nota_caducada_ns && !amb_la_primera;
}

// After messages were lost, no note is left hanging for a note-off that never came.
void sintetitzador::allibera_les_notes() {
    for (uint8_t canal = 0; canal < 16; ++canal) {
        fluid_synth_cc(synth_, canal, 64, 0);
        fluid_synth_all_notes_off(synth_, canal);
        fes_saber(0xB0 | canal, 64, 0);
        fes_saber(0xB0 | canal, 123, 0);
    }
}

void sintetitzador::aplica(const missatge& m) {
    fes_saber(m.estat, m.dada1, m.dada2);
    int canal = m.estat & 0x0F;
    switch (m.estat & 0xF0) {
    case 0x80: fluid_synth_noteoff(synth_, canal, m.dada1); break;
    case 0x90:
        if (m.dada2 == 0) fluid_synth_noteoff(synth_, canal, m.dada1);
        else fluid_synth_noteon(synth_, canal, m.dada1, m.dada2);
        break;
    case 0xA0: fluid_synth_key_pressure(synth_, canal, m.dada1, m.dada2); break;
    case 0xB0: fluid_synth_cc(synth_, canal, m.dada1, m.dada2); break;
    case 0xC0: fluid_synth_program_change(synth_, canal, m.dada1); break;
    case 0xD0: fluid_synth_channel_pressure(synth_, canal, m.dada1); break;
    case 0xE0: fluid_synth_pitch_bend(synth_, canal, m.dada1 | (m.dada2 << 7)); break;
    default: break;
    }
    silenci_ = 0;
}

// FluidSynth starts a voice only where one of its blocks begins: a message goes to
// the block start nearest its frame, as often early as late, and heard where it says.
int64_t sintetitzador::al_bloc(int64_t frame) const {
    const int64_t dins = ((frame - (frames_ - frames_fluidsynth_)) % bloc_fluidsynth + bloc_fluidsynth) % bloc_fluidsynth;
    return dins < bloc_fluidsynth / 2 ? frame - dins : frame - dins + bloc_fluidsynth;
}

int64_t sintetitzador::frame_de(int64_t ns) const {
    double frames_per_ns = double(frames_periode_) / (t1_ - t0_);
    double latencia = double(latencia_frames());
    return int64_t(std::llround(double(inici_) + (double(ns) - t0_) * frames_per_ns + latencia));
}

// A sound is heard as one piece at the output's own pace, whatever the callbacks'
// wake-ups or the mapping's fresh starts. In silence, where nothing heard can
// shift, the heard clock meets the mapping again (where a message on time is heard
// one latency after its stamp): it jumps ahead to it, or slows, never below half
// pace, to let it catch up.
void sintetitzador::marca_el_sentit() {
    const double per_frame = 1e9 / freq_;
    const double seguit = sentit_.ns + double(inici_ - sentit_.frame) * sentit_.ns_per_frame;
    const double latencia = double(latencia_frames());
    const double mapa = t0_ + latencia * (per_frame - (t1_ - t0_) / frames_periode_);
    if (silenci_ == 0) sentit_ = {inici_, seguit, per_frame};
    else if (seguit > mapa) sentit_ = {inici_, seguit, per_frame - std::min((seguit - mapa) / frames_periode_, per_frame / 2)};
    else sentit_ = {inici_, mapa, per_frame};
    desfasament_sentit_ = std::llround(sentit_.ns - mapa);
}

void sintetitzador::fes_saber(uint8_t estat, uint8_t dada1, uint8_t dada2) {
    const double ns = sentit_.ns + double(frames_ - sentit_.frame) * sentit_.ns_per_frame;
    sentits_.empeny({std::llround(ns), uint32_t(estat) | uint32_t(dada1) << 8 | uint32_t(dada2) << 16});
}

// The device keeps its own clock and wakes the callback with some jitter: a
// delay-locked loop follows its pace and leaves the jitter out of the mapping.
void sintetitzador::ajusta_rellotge(int64_t ara, int frames) {
    const double periode = frames * 1e9 / freq_;
    const double error = double(ara) - t1_;
    if (periode_ns_ == 0 || std::fabs(error) > 4 * periode) {
        // First period, or the output stalled: start the mapping afresh.
        t0_ = double(ara);
        periode_ns_ = periode;
        t1_ = t0_ + periode;
    } else {
        const double omega = 2 * 3.141592653589793 * amplada_de_banda * periode / 1e9;
        t0_ = t1_;
        t1_ += std::sqrt(2.0) * omega * error + periode_ns_;
        periode_ns_ += omega * omega * error;
    }
    inici_ = frames_;
    frames_periode_ = frames;
}

// The cycle's start comes from the output's own clock, with no jitter to follow: a
// message stamped before it was sent before it, so a period is latency enough. A
// timer's message sent late (the window busy past its tick) sounds at the next render's
// start instead: off its frame, by no more than the window was late.
void sintetitzador::posa_rellotge(int64_t inici, int frames) {
    periode_ns_ = frames * 1e9 / freq_;
    t0_ = double(inici);
    t1_ = t0_ + periode_ns_;
    inici_ = frames_;
    frames_periode_ = frames;
}

void sintetitzador::sintetitza(float* sortida, int frames) {
    if (frames <= 0) return;
    if (en_repos()) {
        std::memset(sortida, 0, size_t(frames) * 2 * sizeof(float));
    } else {
        fluid_synth_write_float(synth_, frames, sortida, 0, 2, sortida, 1, 2);
        frames_fluidsynth_ += frames;
        ++renders_;
    }
    silenci_ = fluid_synth_get_active_voice_count(synth_) > 0 ? 0 : silenci_ + frames;
    frames_ += frames;
}

bool sintetitzador::en_repos() const { return silenci_ > int64_t(cua_de_reverberacio * freq_); }

void sintetitzador::render(float* sortida, int frames) {
    const std::optional<int64_t> cicle = std::exchange(cicle_, std::nullopt);
    const int64_t ara = cicle ? *cicle : ara_();
    // A block longer than the latency allows would take messages too late for their frame.
    if (frames > periode_) periode_ = frames;
    const bool despert = std::exchange(ve_del_repos_, false);
    std::optional<int64_t> primera_nota; // after a rest: when the first note that waited for the output was sent
    marge_ = cicle ? 0 : marge_de_latencia;
    if (cicle) posa_rellotge(*cicle, frames);
    else ajusta_rellotge(ara, frames);
    marca_el_sentit();
    const int64_t fi = frames_ + frames;
    for (;;) {
        if (!pendent_) pendent_ = cua_.treu();
        if (!pendent_) {
            if (desbordada_.exchange(false)) allibera_les_notes();
            break;
        }
        if (despert && !primera_nota && es_nota(*pendent_)) primera_nota = pendent_->ns;
        // SDL's callbacks wake early at times: there the whole margin stays, and FluidSynth's block comes after.
        int64_t quan = cicle ? al_bloc(frame_de(pendent_->ns)) : frame_de(pendent_->ns);
        if (quan >= fi) break; // for a later period
        // Render up to the message's own frame (a late one sounds at once), then apply it.
        int fins = int(std::clamp<int64_t>(quan - frames_, 0, fi - frames_));
        sintetitza(sortida + 2 * (frames - (fi - frames_)), fins);
        if (!ha_caducat(*pendent_, ara, primera_nota)) aplica(*pendent_);
        pendent_.reset();
    }
    sintetitza(sortida + 2 * (frames - (fi - frames_)), int(fi - frames_));
}

} // namespace brisola
