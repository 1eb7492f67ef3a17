#pragma once
// Follows one colour in a picture: the largest patch of pixels near the
// calibrated hue, its centre in the 640 × 480 frame as the camera sees it, lightly
// smoothed against the tremor of a hand.
#include "configuracio.h"

#include <opencv2/core.hpp>

#include <optional>

namespace tintseer {

// The One Euro filter: smooths hard while the value rests, follows at once when it moves.
class filtre_un_euro {
public:
    double filtra(double x, double dt);

private:
    std::optional<double> x_, dx_;
};

class seguiment {
public:
    explicit seguiment(const configuracio& c) : c_(c) {}
    // The object's place in this picture (any size, BGR), seconds after the previous one; none when out of sight.
    std::optional<cv::Point2f> processa(const cv::Mat& bgr, double dt);
    // The colour (HSV) of the picture around a point of it: what a click on the object picks.
    static cv::Vec3b color_a(const cv::Mat& bgr, cv::Point punt);

private:
    // The centre of the largest patch of the colour, unsmoothed.
    std::optional<cv::Point2d> troba(const cv::Mat& bgr);

    configuracio c_;
    filtre_un_euro x_, y_;
    cv::Mat petita_, hsv_, mascara_, mascara2_; // kept between pictures: no allocation per frame
};

// The settings that a click on the object at `punt` of a picture gives, the rest as in `c`.
configuracio calibra(const cv::Mat& bgr, cv::Point punt, configuracio c = {});

} // namespace tintseer
