#pragma once
// The silent stand-in for a missing audio output: a thread of its own calls the
// render function a period at a time, at the pace of the clock, so that songs
// and timing keep real time while nothing is heard.
#include <atomic>
#include <functional>
#include <thread>

namespace brisola {

class substitut_audio {
public:
    using font = std::function<void(float* frames_estereo, int frames)>;
    // Starts rendering at once.
    substitut_audio(font render, int freq_mostreig, int frames_per_periode);
    // Returns once no render is under way and none will start.
    ~substitut_audio();
    substitut_audio(const substitut_audio&) = delete;
    substitut_audio& operator=(const substitut_audio&) = delete;

private:
    void fes_sonar(font render, int freq, int frames);
    std::atomic<bool> atura_{false};
    std::thread fil_;
};

} // namespace brisola
