#pragma once
// A WAV or MP3 song: decoded by libsndfile and resampled to the output rate
// on a thread of its own, into a ring the audio thread reads without waiting.
#include "anell_audio.h"

#include <QString>

#include <atomic>
#include <memory>
#include <thread>
#include <vector>

struct sf_private_tag;
struct SRC_STATE_tag;

namespace brisola {

class canco_flux {
public:
    // Null when the file cannot be opened or decoded. It plays from `des_de_ms`.
    static std::unique_ptr<canco_flux> obre(const QString& cami, int freq_sortida, int64_t des_de_ms = 0);
    ~canco_flux();
    canco_flux(const canco_flux&) = delete;
    canco_flux& operator=(const canco_flux&) = delete;

    void play() { sona_ = true; }
    void pause() { sona_ = false; }
    bool sona() const { return sona_; }
    // "playing", "paused", or "stopped" once it has played to its end.
    QString mode() const;
    // Milliseconds of the song heard so far, counted from its start.
    int64_t posicio_ms() const { return des_de_ms_ + mesclats_.load() * 1000 / freq_sortida_; }

    // Whether `frames` frames are decoded ahead (or the song holds or is all decoded):
    // a render faster than real time waits for this before it mixes.
    bool a_punt(size_t frames) const { return !sona_ || descodificat_ || anell_.ocupat() >= frames; }
    // Audio thread: adds the song's next frames to `sortida`.
    void mescla(float* sortida, int frames);

private:
    canco_flux(sf_private_tag* fitxer, SRC_STATE_tag* src, int canals, double rati, int freq_sortida, int64_t des_de_ms);
    void descodifica();
    // The next stereo frames at the file's rate, in `estereo`; fewer than a block at the end.
    size_t llegeix_bloc(std::vector<float>& entrada, std::vector<float>& estereo);
    // Into the ring as room comes; false when the song is closed meanwhile.
    bool escriu(const float* estereo, size_t frames);
    bool reamostra(const float* estereo, size_t frames, bool darrer, std::vector<float>& sortida);

    sf_private_tag* fitxer_;
    SRC_STATE_tag* src_ = nullptr;
    int canals_;
    double rati_;
    int freq_sortida_;
    int64_t des_de_ms_;
    std::atomic<int64_t> mesclats_{0}; // output frames mixed
    anell_audio anell_;
    std::atomic<bool> sona_{false}, acaba_{false}, descodificat_{false};
    std::thread fil_;
};

} // namespace brisola
