#include "substitut_audio.h"

#include <algorithm>
#include <chrono>
#include <vector>

namespace brisola {

substitut_audio::substitut_audio(font render, int freq_mostreig, int frames_per_periode)
    : fil_([this, render = std::move(render), freq_mostreig, frames_per_periode] {
          fes_sonar(render, freq_mostreig, frames_per_periode);
      }) {}

substitut_audio::~substitut_audio() {
    atura_ = true;
    fil_.join();
}

// Each period has its own deadline from the start, so sleeping late never adds
// up; after a long stall (a suspended machine) the count starts afresh rather
// than rendering the missed periods in a burst.
void substitut_audio::fes_sonar(font render, int freq, int frames) {
    using rellotge = std::chrono::steady_clock;
    const auto periode = std::chrono::nanoseconds(int64_t(frames) * 1'000'000'000 / freq);
    std::vector<float> buffer(size_t(frames) * 2);
    auto termini = rellotge::now();
    while (!atura_) {
        std::fill(buffer.begin(), buffer.end(), 0.0f);
        render(buffer.data(), frames);
        termini += periode;
        if (rellotge::now() > termini + 4 * periode) termini = rellotge::now();
        std::this_thread::sleep_until(termini);
    }
}

} // namespace brisola
