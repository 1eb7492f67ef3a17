// How well a point of the body is followed with nothing worn, case by case, on
// people of our own making through a camera's compression, and what a picture costs.
#include "fakes/cara.h"
#include "mesura.h"
#include "seguiment_punt.h"

#include <chrono>
#include <cstdio>
#include <filesystem>

using namespace brisola;

int main(int argc, char** argv) {
    cv::setNumThreads(1); // the cost on one core: the instrument's other threads have the other
    const std::string carpeta = std::filesystem::temp_directory_path() / "bench_punt_";
    for (const cara::cas& cas : cara::casos()) {
        if (argc > 1 && cas.nom != argv[1]) continue;
        const std::string cami = carpeta + cas.nom + ".avi";
        const std::vector<cara::veritat> veritats = cara::grava(cas, cami);
        cv::VideoCapture lector(cami);
        cv::Mat primer;
        lector.read(primer);
        // The helper clicks the case's point (the tip of the nose, unless it says otherwise) in the first picture.
        const cv::Point2d punt = *veritats.front().punt;
        const cv::Point clic(int(std::lround(punt.x)), int(std::lround(punt.y)));
        tintseer::seguiment_punt s(*tintseer::calibra_punt(primer, clic, {}));
        std::vector<double> temps;
        auto x = cara::avalua(veritats, cami, [&](const cv::Mat& f) {
            auto t0 = std::chrono::steady_clock::now();
            auto p = s.processa(f, 1 / cara::fps);
            temps.push_back(std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - t0).count());
            return p;
        });
        std::filesystem::remove(cami);
        std::printf("head %s: median %.1f px p95 %.1f px drift %.1f px lost %d/%d false %d; per frame %.2f ms"
                    " (blink or smile %.1f px, back in %.2f s)\n",
                    cas.nom.c_str(), x.mediana, x.p95, x.deriva, x.perduts, x.en_vista, x.falsos,
                    percentil(temps, 0.5), x.per_gest, x.retorn);
    }
}
