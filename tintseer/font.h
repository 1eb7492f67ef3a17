#pragma once
// Where the tracker's pictures come from.
#include "configuracio.h"

#include <memory>

namespace cv {
class VideoCapture;
}

namespace tintseer {

// The video of the settings, or else the first of /dev/video0..8 that opens
// (its automatic white balance off until it is closed); none when neither does.
std::unique_ptr<cv::VideoCapture> obre_font(const configuracio& c);

} // namespace tintseer
