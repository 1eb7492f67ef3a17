#include "font.h"

#include <opencv2/videoio.hpp>

#include <filesystem>
#include <fstream>
#include <string>

namespace tintseer {

namespace {

// A camera whose automatic white balance is held off while we read it (its
// drift would move the object's colour), and put back as it was when closed.
// A note beside the settings says it is off by our doing until then: after a
// run that never closed it, the next one puts it back when it closes.
class camera : public cv::VideoCapture {
public:
    camera(const std::string& cami, int index)
        : cv::VideoCapture(cami, cv::CAP_V4L2), nota_(configuracio::cami() + ".balanc" + std::to_string(index)) {
        if (!isOpened()) return;
        set(cv::CAP_PROP_FRAME_WIDTH, 640);
        set(cv::CAP_PROP_FRAME_HEIGHT, 480);
        bool nostre = get(cv::CAP_PROP_AUTO_WB) == 1 || std::filesystem::exists(nota_);
        if (nostre && set(cv::CAP_PROP_AUTO_WB, 0)) {
            balanc_automatic_ = true;
            std::ofstream(nota_) << "1\n";
        }
    }
    ~camera() override {
        // Not put back (the camera was pulled out): the note stays, for the next run to put it back.
        if (!balanc_automatic_ || !set(cv::CAP_PROP_AUTO_WB, 1)) return;
        std::error_code error;
        std::filesystem::remove(nota_, error);
    }

private:
    std::string nota_;
    bool balanc_automatic_ = false;
};

} // namespace

bool llegeix_un_video(const configuracio& c) { return !c.font.empty() && std::filesystem::is_regular_file(c.font); }

// The files are checked first, which spares the user OpenCV's warnings.
std::unique_ptr<cv::VideoCapture> obre_font(const configuracio& conf, const std::string& dispositius) {
    if (llegeix_un_video(conf)) {
        auto video = std::make_unique<cv::VideoCapture>(conf.font);
        return video->isOpened() ? std::move(video) : nullptr;
    }
    for (int i = 0; i <= 8; ++i) {
        const std::string cami = dispositius + std::to_string(i);
        if (!std::filesystem::exists(cami)) continue;
        auto c = std::make_unique<camera>(cami, i);
        if (c->isOpened()) return c;
    }
    return nullptr;
}

} // namespace tintseer
