#pragma once
// Videos of our own for the tracker: a green disc before a dark wall and a brownish table.
#include <opencv2/imgproc.hpp>
#include <opencv2/videoio.hpp>

#include <functional>
#include <optional>
#include <string>

namespace video_disc {

constexpr double fps = 30;

// The room with the disc at `centre`; none: out of sight.
inline cv::Mat fotograma(std::optional<cv::Point2d> centre) {
    cv::Mat f(480, 640, CV_8UC3, cv::Scalar(60, 50, 45));
    cv::rectangle(f, cv::Rect(0, 400, 640, 80), cv::Scalar(30, 60, 150), cv::FILLED);
    if (centre) cv::circle(f, cv::Point(*centre), 30, cv::Scalar(40, 200, 40), cv::FILLED);
    return f;
}

// `fotogrames` pictures at `fps`, the disc where `centre` puts it in each.
inline void escriu(const std::string& cami, int fotogrames,
                   const std::function<std::optional<cv::Point2d>(int)>& centre) {
    cv::VideoWriter w(cami, cv::VideoWriter::fourcc('M', 'J', 'P', 'G'), fps, {640, 480});
    for (int i = 0; i < fotogrames; ++i) w.write(fotograma(centre(i)));
}

} // namespace video_disc
