#include "lectura.h"

#include "font.h"
#include "seguiment.h"

#include <opencv2/videoio.hpp>

#include <algorithm>
#include <cmath>
#include <optional>
#include <thread>

namespace tintseer {

namespace {

constexpr int fallades_de_camera_perduda = 5; // failed reads in a row: the camera is gone, not one odd picture
constexpr auto pausa_entre_fallades = std::chrono::milliseconds(10);
constexpr rellotge::duration primera_espera = std::chrono::milliseconds(250), espera_maxima = std::chrono::seconds(4);

// When a camera's picture was taken: V4L2's buffer time stamp, on the monotonic
// clock as the steady clock is; now, where the driver gives none we can trust
// (none, from the future, stale, or no later than the picture before).
rellotge::time_point moment_de_camera(cv::VideoCapture& font, std::optional<rellotge::time_point> anterior) {
    auto ara = rellotge::now();
    double ms = font.get(cv::CAP_PROP_POS_MSEC);
    auto presa = rellotge::time_point(std::chrono::microseconds(std::llround(ms * 1000)));
    bool fiable = ms > 0 && presa <= ara && ara - presa < std::chrono::seconds(1) && (!anterior || presa > *anterior);
    return fiable ? presa : ara;
}

// Sleeps `durada`, or less when told to stop.
void espera(rellotge::duration durada, const std::atomic<bool>& atura) {
    for (auto fi = rellotge::now() + durada; !atura && rellotge::now() < fi;)
        std::this_thread::sleep_for(std::min<rellotge::duration>(fi - rellotge::now(), std::chrono::milliseconds(20)));
}

// A lost camera, opened again: tried after a quarter of a second, then twice as long each time, at most every 4 s.
std::unique_ptr<cv::VideoCapture> torna_a_obrir(const obertura& reobre, const std::atomic<bool>& atura) {
    rellotge::duration pausa = primera_espera;
    while (!atura) {
        espera(pausa, atura);
        if (atura) break;
        if (auto font = reobre()) return font;
        pausa = std::min(2 * pausa, espera_maxima);
    }
    return nullptr;
}

// A camera read until it is lost for good or told to stop; the following goes on across its reopenings.
void llegeix_camera(std::unique_ptr<cv::VideoCapture> font, const obertura& reobre, seguiment& seg,
                    const std::atomic<bool>& atura,
                    const std::function<void(cv::Point2f, rellotge::time_point)>& posicio) {
    cv::Mat fotograma;
    std::optional<rellotge::time_point> anterior;
    for (int fallades = 0; font && !atura;) {
        if (!font->read(fotograma) || fotograma.empty()) {
            if (++fallades < fallades_de_camera_perduda) {
                std::this_thread::sleep_for(pausa_entre_fallades);
                continue;
            }
            font.reset(); // let the device go before it is looked for again
            font = reobre ? torna_a_obrir(reobre, atura) : nullptr;
            fallades = 0;
            continue;
        }
        fallades = 0;
        auto presa = moment_de_camera(*font, anterior);
        double dt = anterior ? std::chrono::duration<double>(presa - *anterior).count() : 0;
        anterior = presa;
        if (auto p = seg.processa(fotograma, dt)) posicio(*p, presa);
    }
}

// A video in place of a camera, at its own pace on absolute deadlines, or as fast as it decodes; to its end.
void llegeix_video(cv::VideoCapture& font, bool al_seu_ritme, seguiment& seg, const std::atomic<bool>& atura,
                   const std::function<void(cv::Point2f, rellotge::time_point)>& posicio) {
    const double fps = font.get(cv::CAP_PROP_FPS) > 0 ? font.get(cv::CAP_PROP_FPS) : 30;
    const auto periode = std::chrono::duration<double>(1 / fps);
    const auto inici = rellotge::now();
    cv::Mat fotograma;
    for (long n = 0; !atura; ++n) {
        auto previst = inici + std::chrono::duration_cast<rellotge::duration>(periode * double(n));
        if (al_seu_ritme) std::this_thread::sleep_until(previst);
        if (!font.read(fotograma) || fotograma.empty()) return;
        if (auto p = seg.processa(fotograma, 1 / fps)) posicio(*p, al_seu_ritme ? previst : rellotge::now());
    }
}

} // namespace

void llegeix(std::unique_ptr<cv::VideoCapture> font, const obertura& reobre, const configuracio& c, bool al_seu_ritme,
             const std::atomic<bool>& atura, const std::function<void(cv::Point2f, rellotge::time_point)>& posicio) {
    if (!font) return;
    seguiment seg(c);
    if (llegeix_un_video(c)) llegeix_video(*font, al_seu_ritme, seg, atura, posicio);
    else llegeix_camera(std::move(font), reobre, seg, atura, posicio);
}

} // namespace tintseer
