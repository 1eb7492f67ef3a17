#pragma once
// Where the tracker's pictures come from.
#include "configuracio.h"

#include <memory>
#include <string>

namespace cv {
class VideoCapture;
}

namespace tintseer {

// Whether the pictures come from the video the settings name: only when it is
// there; a video that is not is no reason to leave the cameras untried.
bool llegeix_un_video(const configuracio& c);

// The video of the settings, or else the first of the cameras `dispositius`0..8
// that opens (its automatic white balance off until it is closed); none when neither does.
std::unique_ptr<cv::VideoCapture> obre_font(const configuracio& c, const std::string& dispositius = "/dev/video");

} // namespace tintseer
