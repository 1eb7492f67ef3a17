// Helpers of the tracker's end-to-end test:
//   video_prova escriu fitxer.avi x y   two seconds of a still green disc at (x, y)
//   video_prova segueix carpeta         starts the tracker library of that folder, prints "vertical horitzontal"
#include <opencv2/imgproc.hpp>
#include <opencv2/videoio.hpp>

#include <dlfcn.h>

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <thread>

int main(int argc, char** argv) {
    std::string ordre = argc > 1 ? argv[1] : "";
    if (ordre == "escriu" && argc == 5) {
        cv::VideoWriter w(argv[2], cv::VideoWriter::fourcc('M', 'J', 'P', 'G'), 30, {640, 480});
        cv::Mat f(480, 640, CV_8UC3, cv::Scalar(60, 50, 45));
        cv::circle(f, {std::atoi(argv[3]), std::atoi(argv[4])}, 30, cv::Scalar(40, 200, 40), cv::FILLED);
        for (int i = 0; i < 60; ++i) w.write(f);
        return 0;
    }
    if (ordre == "segueix" && argc == 3) {
        void* lib = dlopen((std::string(argv[2]) + "/libtintseer.so").c_str(), RTLD_NOW);
        if (!lib) return 1;
        auto inicia = reinterpret_cast<int16_t (*)(int32_t)>(dlsym(lib, "TintseerInicialitza"));
        auto posicio = reinterpret_cast<int32_t (*)(int16_t*, int16_t*)>(dlsym(lib, "TintseerObtenirPosicio"));
        auto acaba = reinterpret_cast<int32_t (*)()>(dlsym(lib, "TintseerFinalitza"));
        if (inicia(0) != 1) return 1;
        std::this_thread::sleep_for(std::chrono::milliseconds(800));
        int16_t v = 0, h = 0;
        posicio(&v, &h);
        acaba();
        std::printf("%d %d\n", v, h);
        return 0;
    }
    std::fprintf(stderr, "usage: %s escriu fitxer.avi x y | segueix carpeta\n", argv[0]);
    return 2;
}
