#pragma once
// Follows a point of the body, with nothing worn: the patch around the point the
// helper clicked is kept as its anchor. Picture to picture, the corners found in
// the patch are followed by pyramidal optical flow, and the mean motion of those
// that agree with their median moves the point, when they are most of them; a
// corner that moves otherwise (an eyelid, a lip) is dropped. Each picture the anchor is looked for close to the
// point: a weak match means the point is no longer seen, unless the corners still
// carry it (a blink, a smile), and a sure one pulls the point a little back onto
// it, so that it never drifts off the feature. While lost, the anchor is looked for
// over the picture (a band of it per picture, in turn), and the point is taken again
// where it matches best.
#include "configuracio.h"

#include <opencv2/core.hpp>

#include <optional>
#include <vector>

namespace tintseer {

class seguiment_punt {
public:
    // The anchor's side, in pixels of the 640 × 480 frame.
    static constexpr int costat = configuracio::costat_plantilla;

    // Lost until the anchor of `c` is found in a picture.
    explicit seguiment_punt(const configuracio& c);
    // The point's place in this picture (any size, BGR) in the 640 × 480 frame; none while it is not seen.
    std::optional<cv::Point2f> processa(const cv::Mat& bgr, double dt);
    // The corners that carried it to this picture, in the same frame.
    const std::vector<cv::Point2f>& cantonades() const { return punts_; }

private:
    void prepara(const cv::Mat& bgr);
    void segueix();
    std::optional<cv::Point2f> moviment();
    void troba_cantonades();
    void retroba();
    void perd();

    cv::Mat plantilla_, plantilla_petita_;
    cv::Mat gris_, anterior_, petita_, resultat_; // kept between pictures: no allocation per frame
    std::optional<cv::Point2f> lloc_;
    std::vector<cv::Point2f> punts_;
    int banda_ = -1; // where a lost point is looked for next: -1, everywhere
};

// The anchor of a click at `punt` of a picture (any size, BGR): the settings `c` then follow that
// point. None when the patch there is flat (a wall, a sheet): nothing in it could be followed.
std::optional<configuracio> calibra_punt(const cv::Mat& bgr, cv::Point punt, configuracio c);

} // namespace tintseer
