#pragma once
// A room for the tracker, made here: a disc moving before a cluttered wall,
// with what a real room does to it (same-hue things elsewhere, a twin of it,
// the light falling, the disc hidden, motion blur, a flick from rest, the white
// balance drifting, a sticker-sized object, a pick near its edge, a larger
// patch of its colour crossed).
#include "video_disc.h"

#include <opencv2/imgproc.hpp>
#include <opencv2/videoio.hpp>

#include <algorithm>
#include <cmath>
#include <functional>
#include <optional>
#include <random>
#include <string>
#include <vector>

namespace sala {

struct fotograma {
    cv::Mat imatge;
    std::optional<cv::Point2d> disc; // none: out of sight
};

struct cas {
    std::string nom;
    std::vector<fotograma> fotogrames;
    cv::Point2d desviacio_del_clic{0, 0}; // where the helper clicks to pick it, from its centre in the first picture
    double fps = video_disc::fps;
    cv::Point clic() const { return cv::Point(*fotogrames.front().disc + desviacio_del_clic); }
};

constexpr int durada = 150; // five seconds at 30 a second
const cv::Scalar verd(40, 200, 40), blau(150, 70, 30), vermell(40, 40, 200);
const cv::Rect coixi(265, 200, 110, 90); // a green cushion 3.5 times the disc's area

// Posters, clothes and a window: patches of many hues, none of them the disc's green.
inline cv::Mat paret(unsigned llavor) {
    cv::Mat f(480, 640, CV_8UC3, cv::Scalar(120, 125, 130));
    std::mt19937 rng(llavor);
    std::uniform_int_distribution<int> x(0, 600), y(0, 440), mida(20, 160), to(0, 179);
    for (int i = 0; i < 18; ++i) {
        int h = to(rng);
        if (std::abs(h - 60) < 25) h += 60; // the disc's hue is the disc's alone, but for the distractor
        cv::Mat hsv(1, 1, CV_8UC3, cv::Scalar(h, 150 + int(rng() % 100), 90 + int(rng() % 150))), bgr;
        cv::cvtColor(hsv, bgr, cv::COLOR_HSV2BGR);
        cv::Vec3b c = bgr.at<cv::Vec3b>(0, 0);
        cv::rectangle(f, cv::Rect(x(rng), y(rng), mida(rng), mida(rng)), cv::Scalar(c[0], c[1], c[2]), cv::FILLED);
    }
    cv::rectangle(f, cv::Rect(440, 20, 180, 120), cv::Scalar(250, 245, 240), cv::FILLED); // the window
    return f;
}

// A camera's noise.
inline void soroll(cv::Mat& f) {
    cv::Mat n(f.size(), CV_16SC3), s;
    cv::randn(n, cv::Scalar::all(0), cv::Scalar::all(6));
    f.convertTo(s, CV_16SC3);
    s += n;
    s.convertTo(f, CV_8UC3);
}

// Round an ellipse, a turn in four seconds.
inline cv::Point2d en_cercle(int i) {
    double a = 2 * M_PI * i / 120.0;
    return {320 + 200 * std::cos(a), 250 + 130 * std::sin(a)};
}

// A case by its name, made only when it is run: a case's pictures take some 130 MB.
struct recepta {
    std::string nom;
    std::function<cas()> fes;
};

// The cases; `dibuixa` puts the disc and the case's own doings on the wall.
template <class F>
recepta fes(const std::string& nom, F dibuixa, cv::Point2d desviacio_del_clic = {0, 0},
            double fps = video_disc::fps) {
    return {nom, [=] {
                cas c{nom, {}, desviacio_del_clic, fps};
                cv::Mat fons = paret(7);
                for (int i = 0; i < int(durada * fps / video_disc::fps); ++i) {
                    fotograma f{fons.clone(), en_cercle(i)};
                    dibuixa(i, f);
                    soroll(f.imatge);
                    c.fotogrames.push_back(std::move(f));
                }
                return c;
            }};
}

inline void disc(fotograma& f) {
    if (f.disc) cv::circle(f.imatge, cv::Point(*f.disc), 30, verd, cv::FILLED, cv::LINE_AA);
}

inline std::vector<recepta> casos() {
    std::vector<recepta> v;
    // A green bar elsewhere, 3.5 times the disc's area and no disc's shape; the disc away for a second.
    v.push_back(fes("distractor", [](int i, fotograma& f) {
        cv::rectangle(f.imatge, cv::Rect(60, 40, 220, 45), verd, cv::FILLED);
        if (i >= 60 && i < 90) f.disc.reset();
        disc(f);
    }));
    // The light falls to 40 % over two seconds and comes back.
    v.push_back(fes("llum", [](int i, fotograma& f) {
        disc(f);
        double t = i / double(durada), nivell = 1 - 0.6 * std::max(0.0, 1 - std::abs(t - 0.5) / 0.3);
        f.imatge.convertTo(f.imatge, -1, nivell);
    }));
    // Hidden for a second and a half, then shown again at the other side.
    v.push_back(fes("amagat", [](int i, fotograma& f) {
        if (i >= 50 && i < 95) f.disc.reset();
        else if (i >= 95) f.disc = cv::Point2d(640 - en_cercle(i).x, en_cercle(i).y);
        disc(f);
    }));
    // A quick hand: the disc smeared along its way.
    v.push_back(fes("moviment", [](int i, fotograma& f) {
        cv::Mat capa = cv::Mat::zeros(f.imatge.size(), CV_8UC3), mascara = cv::Mat::zeros(f.imatge.size(), CV_8U);
        f.disc = en_cercle(3 * i); // a turn in 1.3 s
        cv::Point2d d = (en_cercle(3 * i + 1) - en_cercle(3 * i - 1)) * 0.5;
        for (int k = 0; k < 8; ++k) {
            cv::Point c(*f.disc + d * (k / 8.0 - 0.5) * 2);
            cv::circle(capa, c, 30, verd, cv::FILLED, cv::LINE_AA);
            cv::circle(mascara, c, 30, cv::Scalar(255), cv::FILLED, cv::LINE_AA);
        }
        cv::GaussianBlur(capa, capa, {9, 9}, 0);
        capa.copyTo(f.imatge, mascara);
    }));
    // The camera's white balance drifting: blue down, red up, by a fifth over the five seconds.
    v.push_back(fes("balanc", [](int i, fotograma& f) {
        disc(f);
        double t = i / double(durada);
        std::vector<cv::Mat> canals;
        cv::split(f.imatge, canals);
        canals[0].convertTo(canals[0], -1, 1 - 0.2 * t);
        canals[2].convertTo(canals[2], -1, 1 + 0.2 * t);
        cv::merge(canals, f.imatge);
    }));
    // A twin of the disc put down a span from its way: only following tells them apart.
    v.push_back(fes("bessons", [](int i, fotograma& f) {
        if (i >= 15) cv::circle(f.imatge, {320, 195}, 30, verd, cv::FILLED, cv::LINE_AA);
        disc(f);
    }));
    // At rest, flicked across at 1600 px/s, at rest, then away for a second; a plate three times
    // its area and a stick of its area, both of its colour, elsewhere.
    v.push_back(fes("estirada", [](int i, fotograma& f) {
        cv::circle(f.imatge, {130, 110}, 55, verd, cv::FILLED, cv::LINE_AA);
        cv::rectangle(f.imatge, cv::Rect(360, 40, 200, 14), verd, cv::FILLED);
        f.disc = cv::Point2d(150 + std::clamp(i - 30, 0, 8) * 1600.0 / 30, 330);
        if (i >= 90 && i < 120) f.disc.reset();
        disc(f);
    }));
    // A sticker (radius 7) on a blue jumper that moves with it.
    v.push_back(fes("adhesiu", [](int i, fotograma& f) {
        f.disc = cv::Point2d(320, 240) + (en_cercle(i) - cv::Point2d(320, 250)) * 0.5;
        cv::rectangle(f.imatge, cv::Rect(cv::Point(*f.disc) + cv::Point(-110, -70), cv::Size(220, 260)), blau,
                      cv::FILLED);
        cv::circle(f.imatge, cv::Point(*f.disc), 7, verd, cv::FILLED, cv::LINE_AA);
    }));
    // A red cloth touching the disc where the helper picks it, 4 px inside its edge towards the cloth.
    v.push_back(fes(
        "vora",
        [](int, fotograma& f) {
            cv::rectangle(f.imatge, cv::Rect(548, 150, 92, 200), vermell, cv::FILLED);
            disc(f);
        },
        {26, 0}));
    // Across the cushion at an even pace, merged with it for over a second.
    v.push_back(fes("travessa", [](int i, fotograma& f) {
        cv::rectangle(f.imatge, coixi, verd, cv::FILLED);
        f.disc = cv::Point2d(40 + 5 * std::min(i, 108), 245);
        disc(f);
    }));
    // Into the cushion at the same pace, stopping halfway in.
    v.push_back(fes("atura", [](int i, fotograma& f) {
        cv::rectangle(f.imatge, coixi, verd, cv::FILLED);
        f.disc = cv::Point2d(40 + 5 * std::min(i, 45), 245);
        disc(f);
    }));
    // Two thirds into the cushion, a third of a second there, then back out the way it came.
    v.push_back(fes("torna", [](int i, fotograma& f) {
        cv::rectangle(f.imatge, coixi, verd, cv::FILLED);
        f.disc = cv::Point2d(std::max(40, 275 - 5 * std::max(0, std::abs(i - 52) - 5)), 245);
        disc(f);
    }));
    // A twin at rest in a corner, the disc hidden for a fifth of a second: the twin is not taken for it.
    v.push_back(fes("bessona_amagat", [](int i, fotograma& f) {
        cv::circle(f.imatge, {600, 440}, 30, verd, cv::FILLED, cv::LINE_AA);
        if (i >= 60 && i < 66) f.disc.reset();
        disc(f);
    }));
    // The flick at 1200 px/s and 15 pictures a second, as a camera gives in dim light, a twin at rest far
    // off: only a reach that grows with the time between pictures keeps it.
    v.push_back(fes(
        "estirada_15",
        [](int i, fotograma& f) {
            cv::circle(f.imatge, {520, 110}, 30, verd, cv::FILLED, cv::LINE_AA);
            f.disc = cv::Point2d(150 + std::clamp(i - 15, 0, 5) * 80.0, 330);
            disc(f);
        },
        {0, 0}, 15));
    return v;
}

// The case as a camera would give it: written as an MJPG video and read back, as fast as it decodes.
inline cas gravat(const cas& c, const std::string& cami) {
    {
        cv::VideoWriter w(cami, cv::VideoWriter::fourcc('M', 'J', 'P', 'G'), c.fps, {640, 480});
        for (const fotograma& f : c.fotogrames) w.write(f.imatge);
    }
    cv::VideoCapture lector(cami);
    cas g{c.nom, {}, c.desviacio_del_clic, c.fps};
    cv::Mat m;
    for (const fotograma& f : c.fotogrames) {
        if (!lector.read(m)) break;
        g.fotogrames.push_back({m.clone(), f.disc});
    }
    return g;
}

// How well a tracker followed a case: its error where the disc is in sight
// (not the 3 pictures after it comes back), the pictures in sight with no
// position, and those out of sight with one (something else taken for it).
struct xifres {
    double mediana = 0, p95 = 0;
    int perduts = 0, en_vista = 0, falsos = 0;
};

inline double percentil(std::vector<double> v, double p) {
    if (v.empty()) return 0;
    std::sort(v.begin(), v.end());
    return v[std::min(v.size() - 1, size_t(p * double(v.size())))];
}

// `segueix` gives the tracker's position for a picture, or none.
template <class F>
xifres avalua(const cas& c, F&& segueix) {
    xifres x;
    std::vector<double> errors;
    int des_de_que_torna = 99;
    for (const fotograma& f : c.fotogrames) {
        std::optional<cv::Point2d> p = segueix(f.imatge);
        des_de_que_torna = f.disc ? des_de_que_torna + 1 : 0;
        if (!f.disc) {
            x.falsos += p ? 1 : 0;
            continue;
        }
        if (des_de_que_torna <= 3) continue;
        ++x.en_vista;
        if (!p) ++x.perduts;
        else errors.push_back(std::hypot(p->x - f.disc->x, p->y - f.disc->y));
    }
    x.mediana = percentil(errors, 0.5);
    x.p95 = percentil(errors, 0.95);
    return x;
}

} // namespace sala
