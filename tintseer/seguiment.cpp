#include "seguiment.h"

#include <opencv2/imgproc.hpp>

#include <algorithm>
#include <climits>
#include <cmath>
#include <numbers>
#include <vector>

namespace tintseer {

namespace {

// Hand tremor is a few frame units at 4 to 12 Hz; a hand moving on purpose is faster.
constexpr double tall_minim = 1.5, beta = 0.08, tall_derivada = 1.0;

double alfa(double tall, double dt) {
    double tau = 1.0 / (2 * std::numbers::pi * tall);
    return 1.0 / (1.0 + tau / dt);
}

// Pictures are searched at a quarter of the frame's area: ample for a hand-held object, four times quicker.
const cv::Size mida_de_cerca(320, 240);
const double escala_x = 640.0 / mida_de_cerca.width, escala_y = 480.0 / mida_de_cerca.height;
constexpr double area_minima = 12; // in pixels of that size: smaller patches are noise
constexpr double llindar_probabilitat = 50; // of 255: a pixel likelier than this is the object's colour
constexpr double rodonesa_minima = 0.5;     // a disc is 1, a bar four times longer than wide about 0.5
constexpr double temps_de_recerca = 0.5;    // seconds out of sight before it is looked for anywhere
constexpr double temps_de_travessa = 3;     // seconds it is followed by its path through a patch of its colour
constexpr double part_del_radi = 0.8;       // of its radius: how deep in a patch its shape must fit
constexpr double part_visible_minima = 0.1; // of its area: less showing out of a patch is the patch's own edge
constexpr double diametres_amagat = 1.5;    // how far its path is followed while it is wholly inside a patch
constexpr double rodonesa_visible = 0.4;    // a disc's half is 0.75, a third of it about 0.5
constexpr double abast_en_repos = 1500;     // frame units a second around where it is expected: 50 a picture at 30
constexpr double temps_minim = 1.0 / 60;    // seconds: a picture with its predecessor's time stamp still reaches
// How far a pixel's colour may stray from the clicked one and still be the same object: hue
// (going round), then saturation and brightness, which its shading moves more.
constexpr int marge_to = 10, marge_saturacio = 70, marge_valor = 90;
constexpr double part_maxima_del_quadre = 0.5; // a pick larger than this share of the picture is the room

// The point of a patch (its outline in the search picture) nearest `on`, within `radi` of it, where a
// disc of radius `radi` sits nearly whole inside the patch; none when there is no such point.
std::optional<cv::Point2d> on_hi_cap(const std::vector<cv::Point>& contorn, cv::Point2d on, double radi) {
    cv::Rect caixa = cv::boundingRect(contorn) + cv::Size(2, 2) - cv::Point(1, 1); // a border: depth from it
    cv::Mat forma = cv::Mat::zeros(caixa.size(), CV_8U), fondaria;
    cv::drawContours(forma, std::vector<std::vector<cv::Point>>{contorn}, 0, cv::Scalar(255), cv::FILLED, cv::LINE_8,
                     cv::noArray(), INT_MAX, -caixa.tl());
    cv::distanceTransform(forma, fondaria, cv::DIST_L2, 3);
    std::optional<cv::Point2d> millor;
    double distancia = radi;
    for (int y = 0; y < fondaria.rows; ++y)
        for (int x = 0; x < fondaria.cols; ++x) {
            cv::Point2d punt(x + caixa.x, y + caixa.y);
            double d = cv::norm(punt - on);
            if (d <= distancia && fondaria.at<float>(y, x) >= part_del_radi * radi) distancia = d, millor = punt;
        }
    return millor;
}

// The centre of a disc of radius `radi` of which `part` (an outline) is what shows: a radius in from the point
// that stands out furthest, along the line from the part's centre through its smallest enclosing circle's
// (the middle of its chord, or the disc's own centre when half of it or more shows).
cv::Point2d centre_del_disc(const std::vector<cv::Point>& part, double radi) {
    cv::Point2f cercle;
    float r = 0;
    cv::minEnclosingCircle(part, cercle, r);
    const cv::Moments m = cv::moments(part);
    cv::Point2d endins = cv::Point2d(cercle) - cv::Point2d(m.m10 / m.m00, m.m01 / m.m00);
    if (cv::norm(endins) < 1e-3) return cercle;
    endins /= cv::norm(endins);
    double fora = INFINITY;
    for (const cv::Point& p : part) fora = std::min(fora, cv::Point2d(p).dot(endins));
    return cv::Point2d(cercle) + endins * (fora + radi - cv::Point2d(cercle).dot(endins));
}

double rodonesa(const std::vector<cv::Point>& contorn, std::vector<cv::Point>& envolupant) {
    // The shape is judged by the outline without its dents: a dim picture's noise frays the edge.
    cv::convexHull(contorn, envolupant);
    double perimetre = cv::arcLength(envolupant, true);
    return perimetre > 0 ? 4 * std::numbers::pi * cv::contourArea(envolupant) / (perimetre * perimetre) : 0;
}

} // namespace

double filtre_un_euro::filtra(double x, double dt) {
    if (!x_ || dt <= 0) {
        x_ = x;
        dx_ = 0;
        return x;
    }
    double dx = (x - *x_) / dt;
    dx_ = *dx_ + alfa(tall_derivada, dt) * (dx - *dx_);
    double tall = tall_minim + beta * std::fabs(*dx_);
    x_ = *x_ + alfa(tall, dt) * (x - *x_);
    return *x_;
}

std::optional<cv::Point2f> seguiment::processa(const cv::Mat& bgr, double dt) {
    std::optional<cv::Point2d> lloc;
    try {
        lloc = localitza(candidats(bgr), dt);
    } catch (const cv::Exception&) { // one odd picture costs that picture only
        perdut_ += dt;
    }
    if (!lloc) return std::nullopt;
    // A disc cut by the picture's edge may be found centred a little beyond it.
    return cv::Point2f(float(std::clamp(x_.filtra(lloc->x, dt), 0.0, 639.0)),
                       float(std::clamp(y_.filtra(lloc->y, dt), 0.0, 479.0)));
}

std::optional<cv::Point2d> seguiment::localitza(const std::vector<candidat>& cs, double dt) {
    std::vector<const candidat*> ps;
    for (const candidat& c : cs)
        if (plausible(c)) ps.push_back(&c);
    const candidat* triat = tria(ps, dt);
    sol_ = ps.size() == 1 && triat;
    if (triat) {
        segueix(triat->centre, dt);
        area_ = area_ > 0 ? 0.95 * area_ + 0.05 * triat->area : triat->area;
        recorda_el_fons(*triat);
        return triat->centre;
    }
    // Not itself in this picture: merged with a patch of its colour, or gone.
    if (auto part = part_que_sobresurt(cs, dt)) {
        segueix(*part, dt);
        travessant_ = true;
        return part;
    }
    std::optional<cv::Point2d> dins = dins_dun_clap(cs, dt);
    perdut_ += dt;
    travessant_ = dins.has_value();
    return dins;
}

std::vector<seguiment::candidat> seguiment::candidats(const cv::Mat& bgr) {
    cv::resize(bgr, petita_, mida_de_cerca, 0, 0, cv::INTER_AREA);
    cv::cvtColor(petita_, hsv_, cv::COLOR_BGR2HSV);
    model_.probabilitat(hsv_, probabilitat_);
    cv::threshold(probabilitat_, mascara_, llindar_probabilitat, 255, cv::THRESH_BINARY);
    cv::morphologyEx(mascara_, mascara_, cv::MORPH_OPEN, cv::Mat());
    std::vector<std::vector<cv::Point>> contorns;
    cv::findContours(mascara_, contorns, cv::RETR_EXTERNAL, cv::CHAIN_APPROX_SIMPLE);
    std::vector<candidat> cs;
    std::vector<cv::Point> envolupant;
    for (const auto& contorn : contorns) {
        double area = cv::contourArea(contorn);
        if (area < area_minima) continue;
        cv::Moments m = cv::moments(contorn);
        cs.push_back({{m.m10 / m.m00 * escala_x, m.m01 / m.m00 * escala_y}, area, rodonesa(contorn, envolupant),
                      contorn});
    }
    return cs;
}

// Within a factor of 2 of the object's area, and round enough for a ball.
bool seguiment::plausible(const candidat& c) const {
    if (c.rodonesa < rodonesa_minima) return false;
    if (area_ > 0) return c.area >= area_ / 2 && c.area <= area_ * 2;
    return c.area <= mida_de_cerca.area() / 10.0; // a wall poster is not held in a hand
}

const seguiment::candidat* seguiment::tria(const std::vector<const candidat*>& plausibles, double dt) const {
    // Alone of its colour, size and shape, as it was in the picture before, it is the object however far it
    // went: a flick from rest. A lone one that was there beside it before is not, while the object hides.
    if (plausibles.size() == 1 && sol_) return plausibles.front();
    const candidat* millor = nullptr;
    if (seguit(dt)) {
        // Followed: the nearest to where it is expected, within reach of its pace and of the time gone.
        double distancia = (abast_en_repos + cv::norm(velocitat_)) * std::max(perdut_ + dt, temps_minim);
        for (const candidat* c : plausibles)
            if (double d = cv::norm(c->centre - previst(dt)); d < distancia) distancia = d, millor = c;
    } else {
        // Lost a while, or never seen: the best anywhere.
        double pes = 0;
        for (const candidat* c : plausibles)
            if (double p = c->area * c->rodonesa; p > pes) pes = p, millor = c;
    }
    return millor;
}

// Followed still, however long since the picture before: a camera away for seconds has lost it.
bool seguiment::seguit(double dt) const {
    return lloc_ && perdut_ + dt < (travessant_ ? temps_de_travessa : temps_de_recerca);
}

// Where it would be `dt` after this picture's predecessor, at its last pace.
cv::Point2d seguiment::previst(double dt) const { return *lloc_ + velocitat_ * (perdut_ + dt); }

// Followed into a larger patch of its colour, it is where its shape fits in the patch nearest its
// path, a little at the most from it: never the patch's edge, when it went elsewhere.
std::optional<cv::Point2d> seguiment::dins_dun_clap(const std::vector<candidat>& cs, double dt) const {
    if (!seguit(dt) || area_ <= 0) return std::nullopt;
    const cv::Point2d p = previst(dt), on(p.x / escala_x, p.y / escala_y);
    const double radi = std::sqrt(area_ / std::numbers::pi);
    // Wholly hidden it may have stopped: beyond a little way from where it was last seen, nothing is known.
    if (cv::norm(on - cv::Point2d(lloc_->x / escala_x, lloc_->y / escala_y)) > 2 * diametres_amagat * radi)
        return std::nullopt;
    for (const candidat& c : cs) {
        if (c.area <= 2 * area_ || cv::pointPolygonTest(c.contorn, on, true) < -radi) continue;
        if (auto lloc = on_hi_cap(c.contorn, on, radi)) return cv::Point2d(lloc->x * escala_x, lloc->y * escala_y);
    }
    return std::nullopt;
}

// Merged with a larger patch of its colour, the part of it that shows out of the patch as the patch was before
// it came: where it is, from the disc that part belongs to; none while no such part shows.
std::optional<cv::Point2d> seguiment::part_que_sobresurt(const std::vector<candidat>& cs, double dt) {
    if (!seguit(dt) || area_ <= 0 || fons_.empty()) return std::nullopt;
    const double radi = std::sqrt(area_ / std::numbers::pi);
    const cv::Point2d p = previst(dt), on(p.x / escala_x, p.y / escala_y);
    std::vector<std::vector<cv::Point>> parts;
    std::vector<cv::Point> envolupant;
    for (const candidat& c : cs) {
        if (c.area <= 2 * area_ || cv::pointPolygonTest(c.contorn, on, true) < -2 * radi) continue;
        part_.create(mascara_.size(), CV_8U);
        part_.setTo(0);
        cv::drawContours(part_, std::vector<std::vector<cv::Point>>{c.contorn}, 0, cv::Scalar(255), cv::FILLED);
        part_.setTo(0, fons_);
        cv::morphologyEx(part_, part_, cv::MORPH_OPEN, cv::Mat());
        cv::findContours(part_, parts, cv::RETR_EXTERNAL, cv::CHAIN_APPROX_NONE);
        const std::vector<cv::Point>* millor = nullptr;
        double area_millor = part_visible_minima * area_;
        for (const auto& part : parts)
            if (double a = cv::contourArea(part); a >= area_millor && rodonesa(part, envolupant) >= rodonesa_visible)
                area_millor = a, millor = &part;
        if (!millor) continue;
        cv::Point2d centre = centre_del_disc(*millor, radi);
        return cv::Point2d(centre.x * escala_x, centre.y * escala_y);
    }
    return std::nullopt;
}

// What of its colour surrounds it, without it: what sticks out of that is it, once it merges with any of it.
void seguiment::recorda_el_fons(const candidat& c) {
    mascara_.copyTo(fons_);
    const std::vector<std::vector<cv::Point>> contorn{c.contorn};
    cv::drawContours(fons_, contorn, 0, cv::Scalar(0), cv::FILLED);
    cv::drawContours(fons_, contorn, 0, cv::Scalar(0), 3);
    cv::dilate(fons_, fons_, cv::Mat()); // the patch's edge wavers by a pixel
}

void seguiment::segueix(cv::Point2d centre, double dt) {
    const bool seguia = seguit(dt);
    travessant_ = false;
    if (seguia) {
        // A picture with its predecessor's time stamp tells where, not how fast.
        if (double t = perdut_ + dt; t > 0) velocitat_ = 0.5 * velocitat_ + 0.5 * (centre - *lloc_) / t;
    } else {
        // Found afresh: the smoothing starts here, with no glide from where it was.
        x_ = {};
        y_ = {};
        velocitat_ = {0, 0};
    }
    lloc_ = centre;
    perdut_ = 0;
}

cv::Vec3b seguiment::color_a(const cv::Mat& bgr, cv::Point punt) {
    cv::Rect entorn = cv::Rect(punt.x - 2, punt.y - 2, 5, 5) & cv::Rect(0, 0, bgr.cols, bgr.rows);
    if (entorn.empty()) return {};
    cv::Scalar mitjana = cv::mean(bgr(entorn));
    cv::Mat pixel(1, 1, CV_8UC3, cv::Scalar(mitjana[0], mitjana[1], mitjana[2])), hsv;
    cv::cvtColor(pixel, hsv, cv::COLOR_BGR2HSV);
    return hsv.at<cv::Vec3b>(0, 0);
}

namespace {

// The patch of the clicked colour that holds the click, in an HSV picture: the object alone, not the
// background the click's surroundings hold when it lands near the object's edge or on a small one.
cv::Mat pega_del_clic(const cv::Mat& hsv, cv::Point clic, cv::Vec3b color) {
    std::vector<cv::Mat> plans;
    cv::split(hsv, plans);
    cv::Mat to, saturacio, valor;
    cv::absdiff(plans[0], cv::Scalar(color[0]), to);
    cv::Mat a_laltra_banda = 180 - to;
    to = cv::min(to, a_laltra_banda);
    cv::absdiff(plans[1], cv::Scalar(color[1]), saturacio);
    cv::absdiff(plans[2], cv::Scalar(color[2]), valor);
    cv::Mat semblant = to <= marge_to;
    semblant &= saturacio <= marge_saturacio;
    semblant &= valor <= marge_valor;
    semblant.at<uchar>(clic) = 255; // the clicked pixel's own noise does not lose the pick
    cv::Mat pega = cv::Mat::zeros(hsv.rows + 2, hsv.cols + 2, CV_8U);
    cv::floodFill(semblant, pega, clic, 0, nullptr, {}, {}, 4 | cv::FLOODFILL_MASK_ONLY | (255 << 8));
    return pega(cv::Rect(1, 1, hsv.cols, hsv.rows));
}

} // namespace

presa calibra(const cv::Mat& bgr, cv::Point punt, configuracio c) {
    const configuracio abans = c;
    cv::Vec3b hsv = seguiment::color_a(bgr, punt);
    c.to = hsv[0];
    c.saturacio = hsv[1];
    c.valor = hsv[2];
    cv::Mat petita, hsv_petita;
    cv::resize(bgr, petita, mida_de_cerca, 0, 0, cv::INTER_AREA);
    cv::cvtColor(petita, hsv_petita, cv::COLOR_BGR2HSV);
    cv::Point clic(std::clamp(punt.x * mida_de_cerca.width / std::max(1, bgr.cols), 0, mida_de_cerca.width - 1),
                   std::clamp(punt.y * mida_de_cerca.height / std::max(1, bgr.rows), 0, mida_de_cerca.height - 1));
    cv::Mat pega = pega_del_clic(hsv_petita, clic, hsv);
    c.histograma = model_color::histograma(hsv_petita, pega, c.tolerancia);
    if (std::all_of(c.histograma.begin(), c.histograma.end(), [](int bin) { return bin == 0; }))
        return {abans, presa::sense_color}; // grey or dark: its hue says nothing
    if (cv::countNonZero(pega) > part_maxima_del_quadre * double(pega.total())) return {abans, presa::tot_el_quadre};
    // Its area as the tracker sees it: the patch of the picked colour that holds the click.
    c.area = 0;
    seguiment s(c);
    s.candidats(bgr);
    std::vector<std::vector<cv::Point>> contorns;
    cv::findContours(s.mascara_.clone(), contorns, cv::RETR_EXTERNAL, cv::CHAIN_APPROX_SIMPLE);
    for (const auto& contorn : contorns)
        if (cv::pointPolygonTest(contorn, clic, false) >= 0) c.area = cv::contourArea(contorn);
    return {c, presa::valida};
}

} // namespace tintseer
