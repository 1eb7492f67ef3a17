#pragma once
// Follows one object in a picture: the patches of its colour (model_color)
// of a plausible size and shape are its candidates; a lone one is taken when it
// was alone before too; while it is followed, the one nearest where it is
// expected, never a far one, and through a larger patch of its colour, by the
// part of it that shows out of the patch, else where its shape fits nearest its
// path; once it has been out of sight for a while, the best one anywhere. Its
// centre is given in the 640 × 480 frame as the camera sees it, lightly smoothed
// against the tremor of a hand.
#include "configuracio.h"
#include "model_color.h"

#include <opencv2/core.hpp>

#include <optional>
#include <vector>

namespace tintseer {

struct presa;

// The One Euro filter: smooths hard while the value rests, follows at once when it moves.
class filtre_un_euro {
public:
    double filtra(double x, double dt);

private:
    std::optional<double> x_, dx_;
};

class seguiment {
public:
    explicit seguiment(const configuracio& c) : c_(c), model_(c), area_(c.area) {}
    // The object's place in this picture (any size, BGR), seconds after the previous one; none when out of sight.
    std::optional<cv::Point2f> processa(const cv::Mat& bgr, double dt);
    // What the last picture showed of the colour, at the search size: 255 where it is.
    const cv::Mat& mascara() const { return mascara_; }
    // The colour (HSV) of the picture around a point of it.
    static cv::Vec3b color_a(const cv::Mat& bgr, cv::Point punt);

private:
    friend presa calibra(const cv::Mat& bgr, cv::Point punt, configuracio c);

    struct candidat {
        cv::Point2d centre;             // in the 640 × 480 frame
        double area;                    // in pixels of the search picture
        double rodonesa;                // 1 for a disc, less for anything longer or ragged
        std::vector<cv::Point> contorn; // in the search picture
    };
    std::vector<candidat> candidats(const cv::Mat& bgr);
    std::optional<cv::Point2d> localitza(const std::vector<candidat>& cs, double dt);
    bool plausible(const candidat& c) const;
    bool seguit(double dt) const;
    cv::Point2d previst(double dt) const;
    const candidat* tria(const std::vector<const candidat*>& plausibles, double dt) const;
    std::optional<cv::Point2d> part_que_sobresurt(const std::vector<candidat>& cs, double dt);
    std::optional<cv::Point2d> dins_dun_clap(const std::vector<candidat>& cs, double dt) const;
    void recorda_el_fons(const candidat& c);
    void segueix(cv::Point2d centre, double dt);

    configuracio c_;
    model_color model_;
    filtre_un_euro x_, y_;
    std::optional<cv::Point2d> lloc_; // where the object was last seen
    cv::Point2d velocitat_{0, 0};     // frame units a second
    double perdut_ = 0;               // seconds since it was last seen
    bool travessant_ = false;         // followed inside a larger patch of its colour
    bool sol_ = false;                // the only candidate in the picture before was it
    double area_;                     // the object's area; 0 until known
    cv::Mat petita_, hsv_, probabilitat_, mascara_, part_; // kept between pictures: no allocation per frame
    cv::Mat fons_; // the search mask without it, when it was last seen apart
};

// What a click picks: the settings it gives, or, refused, the settings it was given and why.
struct presa {
    enum resultat { valida, sense_color, tot_el_quadre };
    configuracio c;
    resultat estat = valida;
};

// A click on the object at `punt` of a picture: its colour, the histogram of the
// patch of that colour around the click and its area, the rest as in `c`. Refused
// when the patch holds no colour (grey, dark) or nearly the whole picture.
presa calibra(const cv::Mat& bgr, cv::Point punt, configuracio c);
inline presa calibra(const cv::Mat& bgr, cv::Point punt) { return calibra(bgr, punt, configuracio{}); }

} // namespace tintseer
