#include "lectura.h"

#include "font.h"
#include "seguidor.h"

#include <opencv2/videoio.hpp>

#include <algorithm>
#include <cmath>
#include <optional>

namespace tintseer {

namespace {

constexpr int fallades_de_camera_perduda = 5; // failed reads in a row: the camera is gone, not one odd picture
constexpr auto pausa_entre_fallades = std::chrono::milliseconds(10);
constexpr rellotge::duration primera_espera = std::chrono::milliseconds(250), espera_maxima = std::chrono::seconds(4);
constexpr rellotge::duration tros_despera = std::chrono::milliseconds(20); // how soon a stop is heard while waiting
// A picture or two without the object is a camera's noise or a quick pass behind something, not its absence.
constexpr rellotge::duration moment_fora_de_vista = std::chrono::milliseconds(100);

// Tells where the object is, and that it is not seen once it has been missing a moment.
class informe {
public:
    explicit informe(const avis_de_posicio& posicio) : posicio_(posicio) {}
    void operator()(std::optional<cv::Point2f> p, rellotge::time_point presa) {
        if (p) vist_ = true, darrera_vista_ = presa;
        if (p || !vist_ || presa - darrera_vista_ >= moment_fora_de_vista) posicio_(p, presa);
    }
    // No pictures at all: nothing is seen from now.
    void sense_imatge(rellotge::time_point ara) {
        vist_ = false;
        posicio_(std::nullopt, ara);
    }

private:
    const avis_de_posicio& posicio_;
    bool vist_ = false;
    rellotge::time_point darrera_vista_;
};

// When a camera's picture was taken: V4L2's buffer time stamp, on the monotonic
// clock as the steady clock is; now, where the driver gives none we can trust
// (none, from the future, stale, or no later than the picture before).
rellotge::time_point moment_de_camera(cv::VideoCapture& font, std::optional<rellotge::time_point> anterior,
                                      rellotge::time_point ara) {
    double ms = font.get(cv::CAP_PROP_POS_MSEC);
    auto presa = rellotge::time_point(std::chrono::microseconds(std::llround(ms * 1000)));
    bool fiable = ms > 0 && presa <= ara && ara - presa < std::chrono::seconds(1) && (!anterior || presa > *anterior);
    return fiable ? presa : ara;
}

// Sleeps `durada`, or less when told to stop.
void espera(rellotge::duration durada, const std::atomic<bool>& atura, const temps_de_lectura& temps) {
    for (auto fi = temps.ara() + durada; !atura && temps.ara() < fi;)
        temps.dorm_fins(std::min(fi, temps.ara() + tros_despera));
}

// A lost camera, opened again: tried after a quarter of a second, then twice as long each time, at most every 4 s.
std::unique_ptr<cv::VideoCapture> torna_a_obrir(const obertura& reobre, const std::atomic<bool>& atura,
                                                const temps_de_lectura& temps) {
    rellotge::duration pausa = primera_espera;
    while (!atura) {
        espera(pausa, atura, temps);
        if (atura) break;
        if (auto font = reobre()) return font;
        pausa = std::min(2 * pausa, espera_maxima);
    }
    return nullptr;
}

// A camera read until it is lost for good or told to stop; the following goes on across its reopenings,
// the time it was away counting as time out of sight.
void llegeix_camera(std::unique_ptr<cv::VideoCapture> font, const obertura& reobre, const seguidor& seg,
                    const std::atomic<bool>& atura, informe& posicio, const temps_de_lectura& temps) {
    cv::Mat fotograma;
    std::optional<rellotge::time_point> anterior;
    for (int fallades = 0; font && !atura;) {
        if (!font->read(fotograma) || fotograma.empty()) {
            if (++fallades < fallades_de_camera_perduda) {
                temps.dorm_fins(temps.ara() + pausa_entre_fallades);
                continue;
            }
            posicio.sense_imatge(temps.ara());
            font.reset(); // let the device go before it is looked for again
            font = reobre ? torna_a_obrir(reobre, atura, temps) : nullptr;
            fallades = 0;
            continue;
        }
        fallades = 0;
        auto presa = moment_de_camera(*font, anterior, temps.ara());
        double dt = anterior ? std::chrono::duration<double>(presa - *anterior).count() : 0;
        anterior = presa;
        posicio(seg(fotograma, dt), presa);
    }
}

// A video in place of a camera, at its own pace on absolute deadlines, or as fast as it decodes; to its end.
void llegeix_video(cv::VideoCapture& font, bool al_seu_ritme, const seguidor& seg, const std::atomic<bool>& atura,
                   informe& posicio, const temps_de_lectura& temps) {
    const double fps = font.get(cv::CAP_PROP_FPS) > 0 ? font.get(cv::CAP_PROP_FPS) : 30;
    const auto periode = std::chrono::duration<double>(1 / fps);
    const auto inici = temps.ara();
    cv::Mat fotograma;
    for (long n = 0; !atura; ++n) {
        auto previst = inici + std::chrono::duration_cast<rellotge::duration>(periode * double(n));
        if (al_seu_ritme) temps.dorm_fins(previst);
        if (!font.read(fotograma) || fotograma.empty()) return;
        posicio(seg(fotograma, 1 / fps), al_seu_ritme ? previst : temps.ara());
    }
}

} // namespace

void llegeix(std::unique_ptr<cv::VideoCapture> font, const obertura& reobre, const configuracio& c, bool al_seu_ritme,
             const std::atomic<bool>& atura, const avis_de_posicio& posicio, const temps_de_lectura& temps) {
    if (!font) return;
    const seguidor seg = fes_seguidor(c);
    informe avis(posicio);
    if (llegeix_un_video(c)) llegeix_video(*font, al_seu_ritme, seg, atura, avis, temps);
    else llegeix_camera(std::move(font), reobre, seg, atura, avis, temps);
}

} // namespace tintseer
