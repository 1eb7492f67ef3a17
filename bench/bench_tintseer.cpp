// What following a colour costs per 640 × 480 picture, how far the smoothing
// lets the reported position trail a hand moving at a steady pace, and how
// well it follows a disc in a room of our own making, case by case.
#include "fakes/sala.h"
#include "lectura.h"
#include "mesura.h"
#include "seguiment.h"

#include <opencv2/imgproc.hpp>

#include <atomic>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <vector>

using namespace brisola;
using rellotge_pla = std::chrono::steady_clock;

namespace {

cv::Mat fotograma(cv::Point2d centre) {
    cv::Mat f(480, 640, CV_8UC3, cv::Scalar(60, 50, 45));
    cv::randn(f, cv::Scalar(60, 50, 45), cv::Scalar(12, 12, 12)); // a camera's noise
    cv::circle(f, centre, 30, cv::Scalar(40, 200, 40), cv::FILLED);
    return f;
}

} // namespace

int main() {
    tintseer::configuracio c;
    cv::Vec3b hsv = tintseer::seguiment::color_a(fotograma({320, 240}), {320, 240});
    c.to = hsv[0], c.saturacio = hsv[1], c.valor = hsv[2];
    tintseer::seguiment seg(c);
    const double fps = 30, velocitat = 300; // frame units a second: a hand sweeping the frame in two seconds
    std::vector<double> temps, retard;
    for (int i = 0; i < 600; ++i) {
        double x = 100 + std::fmod(velocitat * i / fps, 440);
        cv::Mat f = fotograma({x, 240});
        auto t0 = rellotge_pla::now();
        auto p = seg.processa(f, 1 / fps);
        temps.push_back(std::chrono::duration<double, std::milli>(rellotge_pla::now() - t0).count());
        bool en_marxa = std::fmod(velocitat * i / fps, 440) > 60; // well after the sweep has started again
        if (p && en_marxa) retard.push_back(std::fabs(x - p->x) / (velocitat / fps));
    }
    std::printf("one 640 x 480 picture: median %.2f ms, p99 %.2f ms\n", percentil(temps, 0.5), percentil(temps, 0.99));
    std::printf("reported position behind a steady hand: median %.2f frames, p99 %.2f frames\n", percentil(retard, 0.5),
                percentil(retard, 0.99));
    const std::string carpeta = std::filesystem::temp_directory_path() / "bench_tintseer_";
    const std::vector<sala::recepta> casos = sala::casos();
    for (const sala::recepta& recepta : casos) {
        // As a camera gives it: through a video's compression.
        sala::cas cas = sala::gravat(recepta.fes(), carpeta + recepta.nom + ".avi");
        std::filesystem::remove(carpeta + recepta.nom + ".avi");
        const sala::fotograma& primer = cas.fotogrames.front();
        tintseer::seguiment s(tintseer::calibra(primer.imatge, cas.clic()).c);
        auto x = sala::avalua(cas, [&](const cv::Mat& f) { return s.processa(f, 1 / cas.fps); });
        std::printf("tracker %s: median %.1f px p95 %.1f px lost %d/%d false %d\n", cas.nom.c_str(), x.mediana, x.p95,
                    x.perduts, x.en_vista, x.falsos);
    }
    // The delay from a picture's moment to its position being there for the instrument, the
    // video read at its own pace as the library reads it in place of a camera.
    const std::string video = carpeta + "retard.avi";
    const sala::cas gravat = sala::gravat(casos.front().fes(), video);
    const sala::fotograma& primer = gravat.fotogrames.front();
    tintseer::configuracio c_video = tintseer::calibra(primer.imatge, gravat.clic()).c;
    c_video.font = video;
    std::vector<double> retards;
    std::atomic<bool> mai{false};
    auto inici = rellotge_pla::now();
    auto en_posicio = [&](std::optional<cv::Point2f> p, tintseer::rellotge::time_point presa) {
        if (p) retards.push_back(std::chrono::duration<double, std::milli>(tintseer::rellotge::now() - presa).count());
    };
    tintseer::llegeix(std::make_unique<cv::VideoCapture>(video), {}, c_video, true, mai, en_posicio);
    double durada = std::chrono::duration<double>(rellotge_pla::now() - inici).count();
    std::filesystem::remove(video);
    std::printf("tracker delay: median %.1f ms p99 %.1f ms\n", percentil(retards, 0.5), percentil(retards, 0.99));
    std::printf("a video at its own pace: %.2f s for %.2f s of pictures\n", durada, gravat.fotogrames.size() / fps);
}
