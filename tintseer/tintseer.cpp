#include "tintseer.h"

#include "font.h"
#include "lectura.h"

#include <opencv2/videoio.hpp>

#include <atomic>
#include <chrono>
#include <future>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace {

using namespace tintseer;

// The instrument waits this long for a camera to open before it calls the start a failure.
constexpr auto espera_obertura = std::chrono::seconds(2);

// One run of the tracker, from a start to its stop, on a thread of its own. The
// camera is opened and read there only: the caller never waits on it.
struct execucio {
    std::thread fil;
    std::atomic<bool> atura{false}, acabada{false};
    std::atomic<int32_t> posicio{-1}; // vertical × 65536 + horizontal; -1 while the object is not seen
};

// One tracker per process: the C interface has no handle to carry it.
class seguidor {
public:
    // Stops and waits for every run, whatever way the program ends.
    ~seguidor() {
        std::lock_guard bloqueig(mutex_);
        for (auto& e : execucions_) e->atura = true;
        for (auto& e : execucions_) e->fil.join();
    }

    bool inicia() {
        std::lock_guard bloqueig(mutex_);
        recull_acabades();
        if (!execucions_.empty() && !execucions_.back()->atura) return true;
        auto e = std::make_shared<execucio>();
        std::shared_ptr<execucio> anterior = execucions_.empty() ? nullptr : execucions_.back();
        auto obertura = std::make_shared<std::promise<bool>>();
        auto oberta = obertura->get_future();
        e->fil = std::thread([e = e.get(), anterior, obertura] { executa(*e, anterior.get(), *obertura); });
        execucio& nova = *execucions_.emplace_back(std::move(e));
        if (oberta.wait_for(espera_obertura) == std::future_status::ready && oberta.get()) return true;
        nova.atura = true; // a camera that answers late is closed as soon as it does
        return false;
    }

    // Returns at once: the run closes its camera after the picture it is reading.
    void finalitza() {
        std::lock_guard bloqueig(mutex_);
        if (!execucions_.empty()) execucions_.back()->atura = true;
    }

    int32_t posicio() {
        std::lock_guard bloqueig(mutex_);
        return execucions_.empty() || execucions_.back()->atura ? -1 : execucions_.back()->posicio.load();
    }

private:
    static void executa(execucio& e, execucio* anterior, std::promise<bool>& obertura) {
        // A camera serves one reader: the run before must have let it go.
        while (anterior && !anterior->acabada) std::this_thread::sleep_for(std::chrono::milliseconds(5));
        try {
            configuracio c = configuracio::llegeix();
            auto font = obre_font(c);
            obertura.set_value(font != nullptr);
            if (font && !e.atura) segueix(e, c, std::move(font));
        } catch (...) {
            try {
                obertura.set_value(false);
            } catch (const std::future_error&) { // already told: the run just ends
            }
        }
        e.acabada = true;
    }

    static void segueix(execucio& e, const configuracio& c, std::unique_ptr<cv::VideoCapture> font) {
        llegeix(std::move(font), [&c] { return obre_font(c); }, c, true, e.atura,
                [&e](std::optional<cv::Point2f> p, rellotge::time_point) {
                    e.posicio = p ? int32_t(std::lround(p->y)) * 65536 + int32_t(std::lround(p->x)) : -1;
                });
        // The pictures ended (a video's end): what the last one showed stands.
    }

    // Runs that have ended are joined; the last one stays, being the current.
    void recull_acabades() {
        for (size_t i = 0; i + 1 < execucions_.size();) {
            if (!execucions_[i]->acabada) break;
            execucions_[i]->fil.join();
            execucions_.erase(execucions_.begin() + long(i));
        }
    }

    std::mutex mutex_;
    std::vector<std::shared_ptr<execucio>> execucions_; // in order of start; the last is the current
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
