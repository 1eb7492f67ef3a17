#pragma once
// A single-producer, single-consumer ring of interleaved stereo frames: the
// decoder thread writes, the audio thread reads, and neither waits or locks.
#include <atomic>
#include <cstddef>
#include <vector>

namespace brisola {

class anell_audio {
public:
    explicit anell_audio(size_t frames) : mostres_(2 * frames) {}

    size_t lliure() const { return capacitat() - ocupat(); }
    size_t ocupat() const { return escrit_.load(std::memory_order_acquire) - llegit_.load(std::memory_order_acquire); }

    // Producer: copies up to `frames` frames in; returns how many fitted.
    size_t escriu(const float* estereo, size_t frames) {
        size_t n = std::min(frames, lliure());
        size_t inici = escrit_.load(std::memory_order_relaxed);
        for (size_t i = 0; i < 2 * n; ++i) mostres_[(2 * inici + i) % mostres_.size()] = estereo[i];
        escrit_.store(inici + n, std::memory_order_release);
        return n;
    }

    // Consumer: adds up to `frames` frames to `sortida`; returns how many there were.
    size_t mescla(float* sortida, size_t frames) {
        size_t n = std::min(frames, ocupat());
        size_t inici = llegit_.load(std::memory_order_relaxed);
        for (size_t i = 0; i < 2 * n; ++i) sortida[i] += mostres_[(2 * inici + i) % mostres_.size()];
        llegit_.store(inici + n, std::memory_order_release);
        return n;
    }

private:
    size_t capacitat() const { return mostres_.size() / 2; }
    std::vector<float> mostres_;
    std::atomic<size_t> escrit_{0}, llegit_{0}; // frames ever written and read
};

} // namespace brisola
