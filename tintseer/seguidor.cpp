#include "seguidor.h"

#include "seguiment.h"
#include "seguiment_punt.h"

#include <memory>

namespace tintseer {

seguidor fes_seguidor(const configuracio& c) {
    if (c.segueix == configuracio::manera::punt) {
        auto s = std::make_shared<seguiment_punt>(c);
        return [s](const cv::Mat& bgr, double dt) { return s->processa(bgr, dt); };
    }
    auto s = std::make_shared<seguiment>(c);
    return [s](const cv::Mat& bgr, double dt) { return s->processa(bgr, dt); };
}

} // namespace tintseer
