#include "seguiment.h"

#include <opencv2/imgproc.hpp>

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
constexpr double area_minima = 12; // in pixels of that size: smaller patches are noise
constexpr double llindar_probabilitat = 50; // of 255: a pixel likelier than this is the object's colour
constexpr double rodonesa_minima = 0.5;     // a disc is 1, a bar four times longer than wide about 0.5
constexpr double temps_de_recerca = 0.5;    // seconds out of sight before it is looked for anywhere
constexpr double abast_minim = 50;          // frame units around where it is expected

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
    std::optional<candidat> trobat;
    try {
        trobat = tria(candidats(bgr), dt);
    } catch (const cv::Exception&) { // one odd picture costs that picture only
    }
    if (!trobat) {
        perdut_ += dt;
        return std::nullopt;
    }
    segueix(*trobat, dt);
    return cv::Point2f(float(x_.filtra(trobat->centre.x, dt)), float(y_.filtra(trobat->centre.y, dt)));
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
    const double escala_x = 640.0 / mida_de_cerca.width, escala_y = 480.0 / mida_de_cerca.height;
    std::vector<cv::Point> envolupant;
    for (const auto& contorn : contorns) {
        double area = cv::contourArea(contorn);
        if (area < area_minima) continue;
        // The shape is judged by the patch's outline without its dents: a dim picture's noise frays the edge.
        cv::convexHull(contorn, envolupant);
        double area_env = cv::contourArea(envolupant), perimetre = cv::arcLength(envolupant, true);
        cv::Moments m = cv::moments(contorn);
        cs.push_back({{m.m10 / m.m00 * escala_x, m.m01 / m.m00 * escala_y},
                      area,
                      4 * std::numbers::pi * area_env / (perimetre * perimetre)});
    }
    return cs;
}

// Within a factor of 2 of the object's area, and round enough for a ball.
bool seguiment::plausible(const candidat& c) const {
    if (c.rodonesa < rodonesa_minima) return false;
    if (area_ > 0) return c.area >= area_ / 2 && c.area <= area_ * 2;
    return c.area <= mida_de_cerca.area() / 10.0; // a wall poster is not held in a hand
}

std::optional<seguiment::candidat> seguiment::tria(const std::vector<candidat>& cs, double dt) const {
    const candidat* millor = nullptr;
    if (lloc_ && perdut_ < temps_de_recerca) {
        // Followed: the nearest to where it is expected, within reach of its pace.
        double t = perdut_ + dt;
        cv::Point2d previst = *lloc_ + velocitat_ * t;
        double abast = abast_minim + cv::norm(velocitat_) * t, distancia = abast;
        for (const candidat& c : cs)
            if (double d = cv::norm(c.centre - previst); plausible(c) && d < distancia) distancia = d, millor = &c;
    } else {
        // Lost a while, or never seen: the best anywhere.
        double pes = 0;
        for (const candidat& c : cs)
            if (double p = c.area * c.rodonesa; plausible(c) && p > pes) pes = p, millor = &c;
    }
    return millor ? std::optional(*millor) : std::nullopt;
}

void seguiment::segueix(const candidat& c, double dt) {
    if (lloc_ && perdut_ < temps_de_recerca) {
        velocitat_ = 0.5 * velocitat_ + 0.5 * (c.centre - *lloc_) / (perdut_ + dt);
    } else {
        // Found afresh: the smoothing starts here, with no glide from where it was.
        x_ = {};
        y_ = {};
        velocitat_ = {0, 0};
    }
    lloc_ = c.centre;
    perdut_ = 0;
    area_ = area_ > 0 ? 0.95 * area_ + 0.05 * c.area : c.area;
}

cv::Vec3b seguiment::color_a(const cv::Mat& bgr, cv::Point punt) {
    cv::Rect entorn = cv::Rect(punt.x - 2, punt.y - 2, 5, 5) & cv::Rect(0, 0, bgr.cols, bgr.rows);
    if (entorn.empty()) return {};
    cv::Scalar mitjana = cv::mean(bgr(entorn));
    cv::Mat pixel(1, 1, CV_8UC3, cv::Scalar(mitjana[0], mitjana[1], mitjana[2])), hsv;
    cv::cvtColor(pixel, hsv, cv::COLOR_BGR2HSV);
    return hsv.at<cv::Vec3b>(0, 0);
}

configuracio calibra(const cv::Mat& bgr, cv::Point punt, configuracio c) {
    cv::Vec3b hsv = seguiment::color_a(bgr, punt);
    c.to = hsv[0];
    c.saturacio = hsv[1];
    c.valor = hsv[2];
    // The colour of the object around the click, then the object's patch that holds the click.
    cv::Mat petita, hsv_petita;
    cv::resize(bgr, petita, mida_de_cerca, 0, 0, cv::INTER_AREA);
    cv::cvtColor(petita, hsv_petita, cv::COLOR_BGR2HSV);
    cv::Point clic(punt.x * mida_de_cerca.width / std::max(1, bgr.cols),
                   punt.y * mida_de_cerca.height / std::max(1, bgr.rows));
    cv::Mat entorn = cv::Mat::zeros(mida_de_cerca, CV_8U);
    cv::circle(entorn, clic, 5, cv::Scalar(255), cv::FILLED);
    c.histograma = model_color::histograma(hsv_petita, entorn, c.tolerancia);
    c.area = 0;
    seguiment s(c);
    s.candidats(bgr);
    std::vector<std::vector<cv::Point>> contorns;
    cv::findContours(s.mascara_.clone(), contorns, cv::RETR_EXTERNAL, cv::CHAIN_APPROX_SIMPLE);
    for (const auto& contorn : contorns)
        if (cv::pointPolygonTest(contorn, clic, false) >= 0) c.area = cv::contourArea(contorn);
    return c;
}

} // namespace tintseer
