// Helpers of the tracker's end-to-end tests:
//   video_prova escriu fitxer.avi x y [x2 y2]  a green disc at (x, y) for two seconds, then at (x2, y2) for two
//   video_prova cara fitxer.avi cas [fotogrames] a person of ours (a case of fakes/cara.h), cut to so many pictures;
//                                              prints where the tip of the nose is in the first, "x y", and
//                                              the middle 96 % of its places, "x0 x1 y0 y1" in thousandths
//   video_prova punt fitxer.avi x y            the tracker's settings ($TINTSEER_CONFIG) for a click at (x, y) of
//                                              the video's first picture, following that point in that video
//   video_prova segueix carpeta [i-surt]       starts the tracker library of that folder, prints "vertical horitzontal";
//                                              with i-surt, ends while it still tracks, without the stop call
#include "fakes/cara.h"
#include "fakes/video_disc.h"
#include "seguiment_punt.h"

#include <dlfcn.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <thread>
#include <vector>

int main(int argc, char** argv) {
    std::string ordre = argc > 1 ? argv[1] : "";
    if (ordre == "escriu" && (argc == 5 || argc == 7)) {
        cv::Point2d primer(std::atof(argv[3]), std::atof(argv[4]));
        cv::Point2d segon = argc == 7 ? cv::Point2d(std::atof(argv[5]), std::atof(argv[6])) : primer;
        video_disc::escriu(argv[2], argc == 7 ? 120 : 60, [&](int i) { return i < 60 ? primer : segon; });
        return 0;
    }
    if (ordre == "cara" && (argc == 4 || argc == 5)) {
        std::optional<cara::cas> c = cara::anomenat(argv[3]);
        if (!c) return 2;
        if (argc == 5) c->fotogrames = std::atoi(argv[4]);
        const std::vector<cara::veritat> veritats = cara::grava(*c, argv[2]);
        std::vector<double> xs, ys;
        for (const cara::veritat& v : veritats)
            if (v.punt) xs.push_back(v.punt->x / 640), ys.push_back(v.punt->y / 480);
        if (xs.empty()) return 1;
        std::sort(xs.begin(), xs.end());
        std::sort(ys.begin(), ys.end());
        auto milesimes = [](const std::vector<double>& v, double part) {
            return std::lround(1000 * v[size_t(part * double(v.size() - 1))]);
        };
        const cv::Point2d nas = *veritats.front().punt;
        std::printf("%.0f %.0f %ld %ld %ld %ld\n", nas.x, nas.y, milesimes(xs, 0.02), milesimes(xs, 0.98),
                    milesimes(ys, 0.02), milesimes(ys, 0.98));
        return 0;
    }
    if (ordre == "punt" && argc == 5) {
        cv::VideoCapture video(argv[2]);
        cv::Mat primer;
        if (!video.read(primer)) return 1;
        auto c = tintseer::calibra_punt(primer, cv::Point(std::atoi(argv[3]), std::atoi(argv[4])), {});
        if (!c) return 1;
        c->font = argv[2];
        return c->desa() ? 0 : 1;
    }
    if (ordre == "segueix" && (argc == 3 || argc == 4)) {
        void* lib = dlopen((std::string(argv[2]) + "/libtintseer.so").c_str(), RTLD_NOW);
        if (!lib) return 1;
        auto inicia = reinterpret_cast<int16_t (*)(int32_t)>(dlsym(lib, "TintseerInicialitza"));
        auto posicio = reinterpret_cast<int32_t (*)(int16_t*, int16_t*)>(dlsym(lib, "TintseerObtenirPosicio"));
        auto acaba = reinterpret_cast<int32_t (*)()>(dlsym(lib, "TintseerFinalitza"));
        if (inicia(0) != 1) return 1;
        std::this_thread::sleep_for(std::chrono::milliseconds(800));
        int16_t v = 0, h = 0;
        posicio(&v, &h);
        if (argc == 4) {
            std::printf("%d %d\n", v, h);
            std::exit(0); // the library must stop its thread by itself
        }
        acaba();
        std::printf("%d %d\n", v, h);
        return 0;
    }
    std::fprintf(stderr,
                 "usage: %s escriu fitxer.avi x y [x2 y2] | cara fitxer.avi cas [fotogrames] | punt fitxer.avi x y"
                 " | segueix carpeta [i-surt]\n",
                 argv[0]);
    return 2;
}
