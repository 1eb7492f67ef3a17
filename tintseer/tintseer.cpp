#include "tintseer.h"

#include "configuracio.h"
#include "seguiment.h"

#include <opencv2/videoio.hpp>

#include <atomic>
#include <chrono>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

namespace {

using namespace tintseer;
using rellotge = std::chrono::steady_clock;

// One tracker per process: the C interface has no handle to carry it.
class seguidor {
public:
    bool inicia() {
        std::lock_guard bloqueig(mutex_);
        if (fil_.joinable()) return true;
        configuracio c = configuracio::llegeix();
        auto font = obre_font(c);
        if (!font) return false;
        // A video stands in for a camera at its own pace; a camera sets its own.
        double fps = c.font.empty() ? 0 : font->get(cv::CAP_PROP_FPS);
        atura_ = false;
        fil_ = std::thread([this, c, font = std::move(font), fps]() mutable { segueix(c, *font, fps); });
        return true;
    }

    void finalitza() {
        std::lock_guard bloqueig(mutex_);
        atura_ = true;
        if (fil_.joinable()) fil_.join();
    }

    // Packed as vertical × 65536 + horizontal; -1 while nothing has been seen.
    int32_t posicio() const { return posicio_; }

private:
    void segueix(const configuracio& c, cv::VideoCapture& font, double fps) {
        seguiment seg(c);
        cv::Mat fotograma;
        auto anterior = rellotge::now();
        const auto periode = std::chrono::duration<double>(fps > 0 ? 1.0 / fps : 0);
        while (!atura_ && font.read(fotograma) && !fotograma.empty()) {
            auto ara = rellotge::now();
            double dt = fps > 0 ? 1.0 / fps : std::chrono::duration<double>(ara - anterior).count();
            anterior = ara;
            if (auto p = seg.processa(fotograma, dt))
                posicio_ = int32_t(std::lround(p->y)) * 65536 + int32_t(std::lround(p->x));
            if (fps > 0) std::this_thread::sleep_until(ara + std::chrono::duration_cast<rellotge::duration>(periode));
        }
        // The pictures ended (a video's end, a camera pulled out): the last position stands.
    }

    std::mutex mutex_;
    std::thread fil_;
    std::atomic<bool> atura_{false};
    std::atomic<int32_t> posicio_{-1};
};

seguidor& el_seguidor() {
    static seguidor s;
    return s;
}

} // namespace

extern "C" {

int16_t TintseerInicialitza(int32_t) { return el_seguidor().inicia() ? 1 : 0; }

int32_t TintseerObtenirPosicio(int16_t* vertical, int16_t* horitzontal) {
    int32_t p = el_seguidor().posicio();
    if (p < 0) return 0;
    *vertical = int16_t(p / 65536);
    *horitzontal = int16_t(p % 65536);
    return 0;
}

int32_t TintseerFinalitza(void) {
    el_seguidor().finalitza();
    return 0;
}

} // extern "C"
