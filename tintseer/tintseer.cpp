#include "tintseer.h"

#include <opencv2/videoio.hpp>

#include <filesystem>
#include <memory>
#include <mutex>
#include <string>

namespace {

// One tracker per process: the C interface has no handle to carry it.
struct seguidor {
    std::mutex mutex;
    std::unique_ptr<cv::VideoCapture> camera;
};

seguidor& estat() {
    static seguidor s;
    return s;
}

// The first of /dev/video0..8 that OpenCV can open; checking the node first
// spares a machine without cameras OpenCV's warnings.
std::unique_ptr<cv::VideoCapture> obre_primera_camera() {
    for (int i = 0; i <= 8; ++i) {
        if (!std::filesystem::exists("/dev/video" + std::to_string(i))) continue;
        auto camera = std::make_unique<cv::VideoCapture>(i, cv::CAP_V4L2);
        if (camera->isOpened()) return camera;
    }
    return nullptr;
}

} // namespace

extern "C" {

int16_t TintseerInicialitza(int32_t) {
    std::lock_guard<std::mutex> bloqueig(estat().mutex);
    if (!estat().camera) estat().camera = obre_primera_camera();
    return estat().camera ? 1 : 0;
}

int32_t TintseerObtenirPosicio(int16_t*, int16_t*) { return 0; }

int32_t TintseerFinalitza(void) {
    std::lock_guard<std::mutex> bloqueig(estat().mutex);
    estat().camera.reset();
    return 0;
}

} // extern "C"
