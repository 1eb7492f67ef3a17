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

namespace cv {
class VideoCapture;
}

namespace tintseer {

using rellotge = std::chrono::steady_clock;
// Opens the camera again after it was lost; none while it cannot be.
using obertura = std::function<std::unique_ptr<cv::VideoCapture>()>;

// Reads `font` until `atura` is set or a video ends; `posicio` gets every position
// found, with its picture's moment. `al_seu_ritme`: a video is read at its own pace
// (else as fast as it decodes). A camera's odd picture is skipped; a camera that
// gives none any more is closed and opened again with `reobre`, less often each try,
// the last position standing meanwhile as when the object is out of sight.
void llegeix(std::unique_ptr<cv::VideoCapture> font, const obertura& reobre, const configuracio& c, bool al_seu_ritme,
             const std::atomic<bool>& atura, const std::function<void(cv::Point2f, rellotge::time_point)>& posicio);

} // namespace tintseer
