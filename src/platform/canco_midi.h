#pragma once
// A MIDI song: FluidSynth's own file player on a synthesizer of its own, so
// the song never fights the instrument's channels, sharing the instrument's
// soundfont. Commands come from the window thread; mescla() runs on the audio thread.
#include "lector_smf.h"

#include <QByteArray>

#include <atomic>
#include <vector>

struct _fluid_hashtable_t;
struct _fluid_synth_t;
struct _fluid_player_t;
struct _fluid_sfont_t;

namespace brisola {

class canco_midi {
public:
    // `soundfont` may be null: the song then keeps its time in silence.
    canco_midi(const QByteArray& fitxer, const info_smf& info, _fluid_sfont_t* soundfont, double freq_mostreig);
    ~canco_midi();
    canco_midi(const canco_midi&) = delete;
    canco_midi& operator=(const canco_midi&) = delete;

    void play();
    void stop();
    // Tempo 1 holds the song where it is, silent; any other tempo runs it at its own.
    void set_tempo(int32_t tempo);
    // The place the song goes on from, in ticks.
    void situa(int32_t tic);

    int32_t llargada() const { return info_.llargada; }
    int32_t posicio() const;
    int32_t tempo() const { return retinguda_ ? 1 : info_.tempo; }
    bool sona() const { return sona_; }
    // Played to its end, and not stopped since.
    bool acabada() const;

    // Audio thread: adds `frames` interleaved stereo frames of the song to `sortida`.
    void mescla(float* sortida, int frames);

private:
    void silencia();
    void va_on_toca();

    QByteArray fitxer_;
    info_smf info_;
    _fluid_hashtable_t* settings_ = nullptr;
    _fluid_synth_t* synth_ = nullptr;
    _fluid_player_t* player_ = nullptr;
    _fluid_sfont_t* soundfont_ = nullptr;
    std::atomic<bool> sona_{false};
    bool en_marxa_ = false;  // played and not stopped since
    bool retinguda_ = false; // at tempo 1
    int32_t situa_ = -1;     // a place to go on from, asked before the song ran
    std::vector<float> bufer_; // room for one render, so the audio thread never allocates
};

} // namespace brisola
