#include "canco_midi.h"

#include <fluidsynth.h>

#include <algorithm>
#include <array>

namespace brisola {

namespace {
constexpr int frames_per_bloc = 1024;
}

canco_midi::canco_midi(const QByteArray& fitxer, const info_smf& info, fluid_sfont_t* soundfont,
                       double freq_mostreig)
    : fitxer_(fitxer), info_(info), soundfont_(soundfont), bufer_(2 * frames_per_bloc) {
    settings_ = new_fluid_settings();
    fluid_settings_setnum(settings_, "synth.sample-rate", freq_mostreig);
    fluid_settings_setint(settings_, "synth.threadsafe-api", 1);
    // The player must advance with the samples we render, not with the wall clock.
    fluid_settings_setstr(settings_, "player.timing-source", "sample");
    synth_ = new_fluid_synth(settings_);
    if (soundfont_) fluid_synth_add_sfont(synth_, soundfont_);
    player_ = new_fluid_player(synth_);
    fluid_player_add_mem(player_, fitxer_.constData(), size_t(fitxer_.size()));
}

canco_midi::~canco_midi() {
    delete_fluid_player(player_);
    // The soundfont belongs to the instrument's synthesizer: take it back before ours goes.
    if (soundfont_) fluid_synth_remove_sfont(synth_, soundfont_);
    delete_fluid_synth(synth_);
    delete_fluid_settings(settings_);
}

// At tempo 1 a song is held: "play" only marks it to run once a real tempo comes.
void canco_midi::play() {
    en_marxa_ = true;
    if (retinguda_) return;
    fluid_player_play(player_);
    va_on_toca();
    sona_ = true;
}

void canco_midi::stop() {
    en_marxa_ = false;
    silencia();
}

void canco_midi::silencia() {
    sona_ = false;
    fluid_player_stop(player_); // keeps its position: the next play goes on from here
    fluid_synth_all_sounds_off(synth_, -1);
}

void canco_midi::set_tempo(int32_t tempo) {
    if (tempo == 1) {
        retinguda_ = true;
        if (sona_) silencia();
    } else if (retinguda_) {
        retinguda_ = false;
        if (en_marxa_) play();
    }
}

// The player reads its file at its first play, and a place asked before that is refused:
// it is kept until the song runs.
void canco_midi::situa(int32_t tic) {
    situa_ = std::clamp<int32_t>(tic, 0, info_.llargada);
    if (sona_) va_on_toca();
}

void canco_midi::va_on_toca() {
    if (situa_ < 0) return;
    // The player reads its file on its first render, and a place asked before is lost:
    // one short render, cut silent, reads it.
    if (fluid_player_get_total_ticks(player_) <= 0) {
        std::array<float, 2 * 64> apart{};
        fluid_synth_write_float(synth_, 64, apart.data(), 0, 2, apart.data(), 1, 2);
        fluid_synth_all_sounds_off(synth_, -1);
    }
    fluid_player_seek(player_, situa_);
    situa_ = -1;
}

bool canco_midi::acabada() const { return sona_ && fluid_player_get_status(player_) == FLUID_PLAYER_DONE; }

int32_t canco_midi::posicio() const {
    // A player we stopped reports itself done too: only a running one has reached the end.
    if (acabada()) return info_.llargada;
    if (situa_ >= 0) return situa_;
    return std::clamp<int32_t>(fluid_player_get_current_tick(player_), 0, info_.llargada);
}

void canco_midi::mescla(float* sortida, int frames) {
    if (!sona_) return; // held or stopped: silent from this period on
    // Played to its end and rung out: nothing left to render.
    if (fluid_player_get_status(player_) == FLUID_PLAYER_DONE && fluid_synth_get_active_voice_count(synth_) == 0)
        return;
    for (int fet = 0; fet < frames; fet += frames_per_bloc) {
        int n = std::min(frames_per_bloc, frames - fet);
        fluid_synth_write_float(synth_, n, bufer_.data(), 0, 2, bufer_.data(), 1, 2);
        float* desti = sortida + 2 * fet;
        for (int i = 0; i < 2 * n; ++i) desti[i] += bufer_[size_t(i)];
    }
}

} // namespace brisola
