#include "seguiment_punt.h"

#include <opencv2/imgproc.hpp>
#include <opencv2/video/tracking.hpp>

#include <algorithm>
#include <cmath>

namespace tintseer {

namespace {

const cv::Size mida(640, 480);
constexpr int meitat = seguiment_punt::costat / 2;
constexpr int cantonades_volgudes = 20, cantonades_minimes = 8;
constexpr double desacord = 1.5;      // px from the median motion: a corner moving otherwise is dropped
constexpr int radi_de_cerca = 16;     // px around the point where the anchor is looked for each picture
constexpr double desviacio_maxima = 3; // px between the point and a sure match of the anchor: more, the corners slipped
constexpr double estirada = 0.15;     // how far each picture's pull takes the point towards the anchor
constexpr double per_seguir = 0.6;    // the anchor's least likeness where the point is followed: less, it is lost
constexpr double per_seguir_portat = 0.4; // the same while enough corners carry it
constexpr int cantonades_portadores = 4;
constexpr double per_estirar = 0.8;   // the least likeness of a match that pulls the point
constexpr double per_retrobar = 0.8;  // and anywhere in the picture, for a lost point to be taken again
constexpr int bandes_de_cerca = 3;     // a lost point is looked for in one band of the picture per picture, in turn
constexpr int marge_del_flux = 48;    // px around the patch where the corners are followed: a jerk's reach
constexpr double contrast_minim = 4;  // grey levels: a flatter patch holds nothing to follow
const cv::Size finestra_del_flux(15, 15);
constexpr int nivells_del_flux = 3;

cv::Rect quadre() { return {{0, 0}, mida}; }

cv::Rect pega_a(cv::Point2f centre, int radi) {
    return cv::Rect(int(std::lround(centre.x)) - radi, int(std::lround(centre.y)) - radi, 2 * radi + 1, 2 * radi + 1);
}

// The top of a peak, between pixels, by a parabola through it and its neighbours.
double entre_pixels(float abans, float cim, float despres) {
    double corba = abans - 2.0 * cim + despres;
    return corba < 0 ? 0.5 * (abans - despres) / corba : 0;
}

struct trobada {
    cv::Point2f centre;
    double semblanca = 0;
};

// Where the anchor best matches within `on` of the picture, and how well (-1 … 1, lighting aside).
trobada busca(const cv::Mat& gris, const cv::Mat& plantilla, cv::Rect on, cv::Mat& resultat) {
    on &= cv::Rect(0, 0, gris.cols, gris.rows);
    if (on.width < plantilla.cols || on.height < plantilla.rows) return {};
    cv::matchTemplate(gris(on), plantilla, resultat, cv::TM_CCOEFF_NORMED);
    double maxim = 0;
    cv::Point cim;
    cv::minMaxLoc(resultat, nullptr, &maxim, nullptr, &cim);
    auto r = [&](int dy, int dx) { return resultat.at<float>(cim.y + dy, cim.x + dx); };
    cv::Point2f fi(float(cim.x), float(cim.y));
    if (cim.x > 0 && cim.x + 1 < resultat.cols) fi.x += float(entre_pixels(r(0, -1), r(0, 0), r(0, 1)));
    if (cim.y > 0 && cim.y + 1 < resultat.rows) fi.y += float(entre_pixels(r(-1, 0), r(0, 0), r(1, 0)));
    return {fi + cv::Point2f(on.tl()) + cv::Point2f(float(plantilla.cols / 2), float(plantilla.rows / 2)), maxim};
}

float mediana(std::vector<float> v) {
    std::nth_element(v.begin(), v.begin() + long(v.size() / 2), v.end());
    return v[v.size() / 2];
}

} // namespace

seguiment_punt::seguiment_punt(const configuracio& c) {
    if (c.plantilla.size() != size_t(costat * costat)) return; // no anchor: never seen
    plantilla_ = cv::Mat(costat, costat, CV_8U, const_cast<unsigned char*>(c.plantilla.data())).clone();
    cv::resize(plantilla_, plantilla_petita_, {}, 0.5, 0.5, cv::INTER_AREA);
}

std::optional<cv::Point2f> seguiment_punt::processa(const cv::Mat& bgr, double) {
    if (plantilla_.empty()) return std::nullopt;
    try {
        prepara(bgr);
        if (lloc_) segueix();
        else retroba();
        std::swap(anterior_, gris_);
    } catch (const cv::Exception&) { // one odd picture costs that picture, and the point's trail
        perd();
        anterior_.release();
    }
    return lloc_;
}

void seguiment_punt::prepara(const cv::Mat& bgr) {
    if (bgr.size() == mida) cv::cvtColor(bgr, gris_, cv::COLOR_BGR2GRAY);
    else {
        cv::resize(bgr, petita_, mida, 0, 0, cv::INTER_AREA);
        cv::cvtColor(petita_, gris_, cv::COLOR_BGR2GRAY);
    }
}

void seguiment_punt::segueix() {
    const std::optional<cv::Point2f> m = moviment();
    if (m) *lloc_ += *m;
    trobada t = busca(gris_, plantilla_, pega_a(*lloc_, meitat + radi_de_cerca), resultat_);
    // A blink or a smile in the patch weakens the match while the corners that stayed still carry the point.
    const bool portat = m && punts_.size() >= size_t(cantonades_portadores);
    if (t.semblanca < (portat ? per_seguir_portat : per_seguir)) return perd();
    // Only a sure match moves the point: a weak one may lie anywhere (along the nose while the eyes close).
    if (t.semblanca < per_estirar) return;
    // The corners slipped (a jerk, the picture's edge) and the anchor is clearly elsewhere: taken at once.
    const bool lluny = cv::norm(t.centre - *lloc_) > desviacio_maxima;
    *lloc_ += (lluny ? 1 : estirada) * (t.centre - *lloc_);
    if (punts_.size() < size_t(cantonades_minimes)) troba_cantonades();
}

// The motion of the corners from the picture before: the mean of those that agree with their
// median, the others dropped; none when too few came through, or when most disagree (an eyelid
// held most of them).
std::optional<cv::Point2f> seguiment_punt::moviment() {
    if (anterior_.empty() || punts_.empty()) return std::nullopt;
    cv::Rect zona = pega_a(*lloc_, meitat + marge_del_flux) & quadre();
    std::vector<cv::Point2f> abans, despres;
    for (const cv::Point2f& p : punts_) abans.push_back(p - cv::Point2f(zona.tl()));
    std::vector<unsigned char> estat;
    std::vector<float> error;
    cv::calcOpticalFlowPyrLK(anterior_(zona), gris_(zona), abans, despres, estat, error, finestra_del_flux,
                             nivells_del_flux);
    std::vector<float> dx, dy;
    for (size_t i = 0; i < abans.size(); ++i)
        if (estat[i]) dx.push_back(despres[i].x - abans[i].x), dy.push_back(despres[i].y - abans[i].y);
    punts_.clear();
    if (dx.size() < 3) return std::nullopt;
    const cv::Point2f m(mediana(dx), mediana(dy));
    cv::Point2f suma(0, 0);
    for (size_t i = 0; i < abans.size(); ++i)
        if (estat[i] && cv::norm(despres[i] - abans[i] - m) <= desacord) {
            punts_.push_back(despres[i] + cv::Point2f(zona.tl()));
            suma += despres[i] - abans[i];
        }
    if (2 * punts_.size() < abans.size()) return std::nullopt;
    return suma / float(punts_.size()); // finer than the median
}

void seguiment_punt::troba_cantonades() {
    cv::Rect pega = pega_a(*lloc_, meitat) & quadre();
    if (pega.empty()) return;
    std::vector<cv::Point2f> noves;
    cv::goodFeaturesToTrack(gris_(pega), noves, cantonades_volgudes, 0.01, 3);
    punts_.clear();
    for (const cv::Point2f& p : noves) punts_.push_back(p + cv::Point2f(pega.tl()));
}

// The anchor at half size to be quick, then where it was found at full size. Over the whole
// picture once just lost (a blink, a quick turn); after that over one band per picture in turn,
// each a third of the cost: the bands overlap by an anchor's height, so each place is wholly in one.
// A band that holds a match sends the look over the whole picture: a lookalike there (another face)
// never wins over the point elsewhere.
void seguiment_punt::retroba() {
    cv::resize(gris_, petita_, {}, 0.5, 0.5, cv::INTER_AREA);
    const int alt = petita_.rows / bandes_de_cerca;
    const cv::Rect tota(0, 0, petita_.cols, petita_.rows);
    const cv::Rect banda = banda_ < 0 ? tota : cv::Rect(0, banda_ * alt, petita_.cols, alt + plantilla_petita_.rows);
    banda_ = (banda_ + 1) % bandes_de_cerca;
    trobada aprop = busca(petita_, plantilla_petita_, banda, resultat_);
    if (aprop.semblanca < per_seguir) return;
    if (banda != tota) aprop = busca(petita_, plantilla_petita_, tota, resultat_);
    trobada t = busca(gris_, plantilla_, pega_a(aprop.centre * 2, meitat + 3), resultat_);
    if (t.semblanca < per_retrobar) return;
    lloc_ = t.centre;
    troba_cantonades();
}

void seguiment_punt::perd() {
    lloc_.reset();
    banda_ = -1;
    punts_.clear();
}

std::optional<configuracio> calibra_punt(const cv::Mat& bgr, cv::Point punt, configuracio c) {
    cv::Mat gran, gris;
    cv::resize(bgr, gran, mida, 0, 0, cv::INTER_AREA);
    cv::cvtColor(gran, gris, cv::COLOR_BGR2GRAY);
    cv::Point al_quadre(punt.x * mida.width / std::max(1, bgr.cols), punt.y * mida.height / std::max(1, bgr.rows));
    cv::Rect pega = pega_a(al_quadre, meitat);
    pega.x = std::clamp(pega.x, 0, mida.width - seguiment_punt::costat); // near the edge: the patch just inside
    pega.y = std::clamp(pega.y, 0, mida.height - seguiment_punt::costat);
    cv::Scalar mitjana, desviacio;
    cv::meanStdDev(gris(pega), mitjana, desviacio);
    if (desviacio[0] < contrast_minim) return std::nullopt;
    cv::Mat plantilla = gris(pega).clone();
    c.plantilla.assign(plantilla.datastart, plantilla.dataend);
    c.segueix = configuracio::manera::punt;
    return c;
}

} // namespace tintseer
