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
    std::optional<cv::Point2d> centre;
    try {
        centre = troba(bgr);
    } catch (const cv::Exception&) { // one odd picture costs that picture only
    }
    if (!centre) return std::nullopt;
    return cv::Point2f(float(x_.filtra(centre->x, dt)), float(y_.filtra(centre->y, dt)));
}

std::optional<cv::Point2d> seguiment::troba(const cv::Mat& bgr) {
    cv::resize(bgr, petita_, mida_de_cerca, 0, 0, cv::INTER_AREA);
    cv::cvtColor(petita_, hsv_, cv::COLOR_BGR2HSV);
    int s = std::max(40, c_.saturacio - 90), v = std::max(40, c_.valor - 90);
    auto rang = [&](int de, int fins, cv::Mat& mascara) {
        cv::inRange(hsv_, cv::Scalar(de, s, v), cv::Scalar(fins, 255, 255), mascara);
    };
    int baix = c_.to - c_.tolerancia, alt = c_.to + c_.tolerancia;
    rang(std::max(0, baix), std::min(179, alt), mascara_);
    // Hue goes round: red sits at both ends of the scale.
    if (baix < 0 || alt > 179) {
        rang(baix < 0 ? 180 + baix : 0, baix < 0 ? 179 : alt - 180, mascara2_);
        cv::bitwise_or(mascara_, mascara2_, mascara_);
    }
    cv::morphologyEx(mascara_, mascara_, cv::MORPH_OPEN, cv::Mat());
    std::vector<std::vector<cv::Point>> contorns;
    cv::findContours(mascara_, contorns, cv::RETR_EXTERNAL, cv::CHAIN_APPROX_SIMPLE);
    const std::vector<cv::Point>* millor = nullptr;
    double area = area_minima;
    for (const auto& c : contorns)
        if (double a = cv::contourArea(c); a >= area) area = a, millor = &c;
    if (!millor) return std::nullopt;
    cv::Moments m = cv::moments(*millor);
    return cv::Point2d(m.m10 / m.m00 * 640.0 / mida_de_cerca.width, m.m01 / m.m00 * 480.0 / mida_de_cerca.height);
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
    return c;
}

} // namespace tintseer
