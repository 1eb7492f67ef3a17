#pragma once
// Reading pictures and following the object in them, picture by picture, with
// the moment each picture was taken: a camera's own time stamp, or for a video
// standing in for one, its place in the video's own pace, kept on absolute
// deadlines so that a long video does not drift.
#include "configuracio.h"

#include <opencv2/core.hpp>

#include <atomic>
#include <chrono>
#include <functional>
#include <memory>
#include <optional>
#include <thread>

namespace cv {
class VideoCapture;
}

namespace tintseer {

using rellotge = std::chrono::steady_clock;
// Opens the camera again after it was lost; none while it cannot be.
using obertura = std::function<std::unique_ptr<cv::VideoCapture>()>;
// Where the object is in a picture taken at that moment; none: not seen.
using avis_de_posicio = std::function<void(std::optional<cv::Point2f>, rellotge::time_point)>;

// The reader's time, read and slept on: the steady clock, or a test's own.
struct temps_de_lectura {
    std::function<rellotge::time_point()> ara = [] { return rellotge::now(); };
    std::function<void(rellotge::time_point)> dorm_fins = [](rellotge::time_point t) {
        std::this_thread::sleep_until(t);
    };
};

// Reads `font` until `atura` is set or a video ends, telling `posicio` of every
// picture where the object is, and that it is not seen once it has been out of
// sight a moment. `al_seu_ritme`: a video is read at its own pace (else as fast as
// it decodes). A camera's odd picture is skipped; a camera that gives none any more
// is said not to see the object, closed, and opened again with `reobre`, less often
// each try.
void llegeix(std::unique_ptr<cv::VideoCapture> font, const obertura& reobre, const configuracio& c, bool al_seu_ritme,
             const std::atomic<bool>& atura, const avis_de_posicio& posicio, const temps_de_lectura& temps = {});

} // namespace tintseer
