#include "model_color.h"

#include <opencv2/imgproc.hpp>

#include <algorithm>
#include <cmath>

namespace tintseer {

namespace {

constexpr int saturacio_minima = 40; // below it a pixel is greyish: its hue says nothing
const float rang_to[] = {0, 180}, rang_saturacio[] = {0, 256};
const float* rangs[] = {rang_to, rang_saturacio};
const int canals[] = {0, 1};

// The brightness below which pixels are too dark to tell: a share of this picture's own bright end.
int llindar_de_foscor(const cv::Mat& hsv) {
    std::vector<int> compte(256, 0);
    for (int r = 0; r < hsv.rows; r += 2)
        for (int c = 0; c < hsv.cols; c += 2) ++compte[hsv.at<cv::Vec3b>(r, c)[2]];
    int total = ((hsv.rows + 1) / 2) * ((hsv.cols + 1) / 2), vist = 0, v = 255;
    while (v > 0 && (vist += compte[size_t(v)]) < total / 10) --v; // the brightest tenth starts at v
    return std::max(12, v / 5);
}

} // namespace

model_color::model_color(const configuracio& c) {
    hist_ = cv::Mat::zeros(bins_to, bins_saturacio, CV_32F);
    if (c.histograma.size() == size_t(bins_to * bins_saturacio)) {
        for (int i = 0; i < bins_to * bins_saturacio; ++i)
            hist_.at<float>(i / bins_saturacio, i % bins_saturacio) = float(c.histograma[size_t(i)]);
        return;
    }
    // From a hue and its tolerance: every saturation from a little under the calibrated one.
    const int s0 = std::max(saturacio_minima, c.saturacio - 90) * bins_saturacio / 256;
    for (int t = -c.tolerancia; t <= c.tolerancia; ++t) {
        int bin = (((c.to + t) % 180 + 180) % 180) * bins_to / 180;
        for (int s = s0; s < bins_saturacio; ++s) hist_.at<float>(bin, s) = 255;
    }
}

std::vector<int> model_color::histograma(const cv::Mat& hsv, const cv::Mat& mascara, int tolerancia) {
    cv::Mat tria = mascara.clone(), hist;
    std::vector<cv::Mat> plans;
    cv::split(hsv, plans);
    tria &= plans[1] >= saturacio_minima;
    tria &= plans[2] >= llindar_de_foscor(hsv);
    const int mides[] = {bins_to, bins_saturacio};
    cv::calcHist(&hsv, 1, canals, tria, hist, 2, mides, rangs);
    // Spread by the tolerance in hue (a bin each way at the least, hue going round) and by three bins
    // of saturation, which the light moves more.
    const int k = std::clamp(tolerancia / 12, 1, bins_to / 2 - 1);
    cv::Mat vora;
    cv::copyMakeBorder(hist, vora, k, k, 3, 3, cv::BORDER_CONSTANT, cv::Scalar(0));
    hist.rowRange(bins_to - k, bins_to).copyTo(vora(cv::Rect(3, 0, bins_saturacio, k)));
    hist.rowRange(0, k).copyTo(vora(cv::Rect(3, bins_to + k, bins_saturacio, k)));
    cv::blur(vora, vora, {7, 2 * k + 1}, {-1, -1}, cv::BORDER_CONSTANT);
    hist = vora(cv::Rect(3, k, bins_saturacio, bins_to));
    double maxim = 0;
    cv::minMaxLoc(hist, nullptr, &maxim);
    std::vector<int> bins(size_t(bins_to * bins_saturacio), 0);
    if (maxim <= 0) return bins;
    for (int i = 0; i < bins_to * bins_saturacio; ++i) {
        double part = hist.at<float>(i / bins_saturacio, i % bins_saturacio) / maxim;
        // The object's rarer shades count nearly as much as its main one: the light shifts them all.
        // Stray pixels of the background are no part of it.
        bins[size_t(i)] = part < 0.03 ? 0 : int(255 * std::sqrt(part));
    }
    return bins;
}

void model_color::probabilitat(const cv::Mat& hsv, cv::Mat& sortida) {
    cv::calcBackProject(&hsv, 1, canals, hist_, sortida, rangs);
    cv::Mat v;
    cv::extractChannel(hsv, v, 2);
    cv::compare(v, llindar_de_foscor(hsv), foscos_, cv::CMP_LT);
    sortida.setTo(0, foscos_);
}

} // namespace tintseer
