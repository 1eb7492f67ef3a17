#include "lectura.h"

#include "seguiment.h"

#include <opencv2/videoio.hpp>

#include <cmath>
#include <thread>

namespace tintseer {

namespace {

// When a camera's picture was taken: V4L2's buffer time stamp, on the monotonic
// clock as the steady clock is; now, where the driver gives none we can trust.
rellotge::time_point moment_de_camera(cv::VideoCapture& font) {
    auto ara = rellotge::now();
    double ms = font.get(cv::CAP_PROP_POS_MSEC);
    auto presa = rellotge::time_point(std::chrono::microseconds(std::llround(ms * 1000)));
    return ms > 0 && presa <= ara && ara - presa < std::chrono::seconds(1) ? presa : ara;
}

} // namespace

void llegeix(cv::VideoCapture& font, const configuracio& c, bool al_seu_ritme, const std::atomic<bool>& atura,
             const std::function<void(cv::Point2f, rellotge::time_point)>& posicio) {
    const double fps = c.font.empty() ? 0 : font.get(cv::CAP_PROP_FPS);
    const auto periode = std::chrono::duration<double>(fps > 0 ? 1 / fps : 0);
    seguiment seg(c);
    cv::Mat fotograma;
    const auto inici = rellotge::now();
    auto anterior = inici;
    for (long n = 0; !atura; ++n) {
        auto previst = inici + std::chrono::duration_cast<rellotge::duration>(periode * double(n));
        if (fps > 0 && al_seu_ritme) std::this_thread::sleep_until(previst);
        if (!font.read(fotograma) || fotograma.empty()) return;
        auto presa = fps > 0 ? (al_seu_ritme ? previst : rellotge::now()) : moment_de_camera(font);
        double dt = fps > 0 ? 1 / fps : std::chrono::duration<double>(presa - anterior).count();
        anterior = presa;
        if (auto p = seg.processa(fotograma, dt)) posicio(*p, presa);
    }
}

} // namespace tintseer
