#pragma once
// What the tracker follows, as its settings say: a colour, or a point of the body.
#include "configuracio.h"

#include <opencv2/core.hpp>

#include <functional>
#include <optional>

namespace tintseer {

// A picture (BGR) and the seconds since the one before, to the place followed in the 640 × 480 frame, or none.
using seguidor = std::function<std::optional<cv::Point2f>(const cv::Mat&, double)>;

seguidor fes_seguidor(const configuracio& c);

} // namespace tintseer
