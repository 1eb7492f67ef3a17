#include "font.h"

#include <opencv2/videoio.hpp>

#include <filesystem>
#include <string>

namespace tintseer {

// The files are checked first, which spares the user OpenCV's warnings.
std::unique_ptr<cv::VideoCapture> obre_font(const configuracio& c) {
    if (!c.font.empty()) {
        if (!std::filesystem::is_regular_file(c.font)) return nullptr;
        auto video = std::make_unique<cv::VideoCapture>(c.font);
        return video->isOpened() ? std::move(video) : nullptr;
    }
    for (int i = 0; i <= 8; ++i) {
        if (!std::filesystem::exists("/dev/video" + std::to_string(i))) continue;
        auto camera = std::make_unique<cv::VideoCapture>(i, cv::CAP_V4L2);
        if (camera->isOpened()) {
            camera->set(cv::CAP_PROP_FRAME_WIDTH, 640);
            camera->set(cv::CAP_PROP_FRAME_HEIGHT, 480);
            return camera;
        }
    }
    return nullptr;
}

} // namespace tintseer
