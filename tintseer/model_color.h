#pragma once
// The object's colour as a hue × saturation histogram, and a picture's pixels
// by how likely each is the object's. Hue and saturation hold when the light
// changes; brightness does not, so it only decides which pixels are too dark
// to tell, against the picture's own light.
#include "configuracio.h"

#include <opencv2/core.hpp>

#include <vector>

namespace tintseer {

class model_color {
public:
    static constexpr int bins_to = 30, bins_saturacio = 32;

    // The settings' histogram, or one made of their calibrated hue and tolerance.
    explicit model_color(const configuracio& c);
    // The histogram (0..255, hue-major) of an HSV picture's pixels under `mascara`,
    // spread to the neighbouring bins (in hue, by `tolerancia` hue units) so that
    // a drifting camera keeps the object.
    static std::vector<int> histograma(const cv::Mat& hsv, const cv::Mat& mascara, int tolerancia);
    // For each pixel of an HSV picture, 0..255: how likely it is the object's.
    void probabilitat(const cv::Mat& hsv, cv::Mat& sortida);

private:
    cv::Mat hist_; // CV_32F, bins_to × bins_saturacio
    cv::Mat foscos_;
};

} // namespace tintseer
