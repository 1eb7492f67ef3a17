#include "font.h"

#include <opencv2/videoio.hpp>

#include <filesystem>
#include <string>

namespace tintseer {

namespace {

// A camera whose automatic white balance is held off while we read it (its
// drift would move the object's colour), and put back as it was when closed.
class camera : public cv::VideoCapture {
public:
    explicit camera(int index) : cv::VideoCapture(index, cv::CAP_V4L2) {
        if (!isOpened()) return;
        set(cv::CAP_PROP_FRAME_WIDTH, 640);
        set(cv::CAP_PROP_FRAME_HEIGHT, 480);
        if (get(cv::CAP_PROP_AUTO_WB) == 1 && set(cv::CAP_PROP_AUTO_WB, 0)) balanc_automatic_ = true;
    }
    ~camera() override {
        if (balanc_automatic_) set(cv::CAP_PROP_AUTO_WB, 1);
    }

private:
    bool balanc_automatic_ = false;
};

} // namespace

// The files are checked first, which spares the user OpenCV's warnings.
std::unique_ptr<cv::VideoCapture> obre_font(const configuracio& conf) {
    if (!conf.font.empty()) {
        if (!std::filesystem::is_regular_file(conf.font)) return nullptr;
        auto video = std::make_unique<cv::VideoCapture>(conf.font);
        return video->isOpened() ? std::move(video) : nullptr;
    }
    for (int i = 0; i <= 8; ++i) {
        if (!std::filesystem::exists("/dev/video" + std::to_string(i))) continue;
        auto c = std::make_unique<camera>(i);
        if (c->isOpened()) return c;
    }
    return nullptr;
}

} // namespace tintseer
