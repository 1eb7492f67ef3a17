#pragma once
// A person before the camera, made here: a head with a textured skin, eyes, nose,
// mouth and hair (glasses in some cases) on a room's wall, moving as someone with
// little head control moves (slow arcs of ±40 px, turning with them, a jerk now and
// then), and what a day brings: a blink, a smile, a hand before the face, a quick turn
// away, leaving the picture, the light falling. The truth is the point of the face the
// helper clicks (the tip of the nose unless a case says otherwise); a case is made
// picture by picture, through MJPG as a camera gives it.
#include "sala.h"

#include <opencv2/imgproc.hpp>
#include <opencv2/videoio.hpp>

#include <algorithm>
#include <array>
#include <cmath>
#include <functional>
#include <optional>
#include <random>
#include <string>
#include <vector>

namespace cara {

constexpr double fps = 30;

// What the person does in one picture.
struct gest {
    cv::Point2d nas;                  // where the tip of the nose would be, were the head not turned
    double gir = 0;                   // radians turned, the nose to the picture's left when positive;
                                      // past 1 the face is not seen
    double inclina = 0, escala = 1;   // tilted to a shoulder, leant towards the camera
    bool ulls_closos = false;
    double somriure = 0;              // 0 … 1: the mouth opened and widened
    std::optional<cv::Point2d> ma;    // the palm's centre, when a hand passes
    double llum = 1;
};

// What the generator knows of a picture: the clicked point, when it is seen; `clar`, seen with room
// around it (not at an edge, nor half behind a hand, nor turned far); `gesticula`, while eyes or mouth move.
struct veritat {
    std::optional<cv::Point2d> punt;
    bool clar = false, gesticula = false;
};

namespace detall {

constexpr int ample = 200, alt = 330;
const cv::Point2d nas_al_sprite(100, 140);
const cv::Scalar pell(105, 145, 200), cabell(30, 40, 60), llavi(70, 70, 150), samarreta(110, 60, 40);
constexpr double gir_maxim_vist = 1.0, gir_clar = 0.4, palmell_x = 45, palmell_y = 60;
constexpr double radi_del_cap = 80, alcada_del_nas = 14, eix_del_gir = 30; // px behind the face's plane
constexpr int ull_al_costat = 25; // px from the middle of the face to each eye's centre

// The head, neck and shoulders without eyes nor mouth, with a mask of where it is, and the
// relief that a turn carries across: the columns of a picture of it and how far each pixel
// stands out of the face's plane.
struct figura {
    cv::Mat color, mascara, esquena;
    cv::Mat columnes, files, relleu;
};

// How far a point of the figure stands out of the face's plane, in pixels: the nose forward,
// the sides falling back as a head is round. A turn moves the nose over the cheeks.
inline double relleu(double x, double y) {
    const double dx = x - nas_al_sprite.x, dy = y - nas_al_sprite.y + 2;
    const double enrera = radi_del_cap - std::sqrt(std::max(0.0, radi_del_cap * radi_del_cap - dx * dx));
    return alcada_del_nas * std::exp(-(dx * dx + dy * dy) / 200) - enrera;
}

inline cv::Mat textura(cv::Size mida, unsigned llavor, double amplada, double desenfoc) {
    cv::Mat t(mida, CV_32F);
    cv::RNG(llavor).fill(t, cv::RNG::NORMAL, 0, amplada);
    cv::GaussianBlur(t, t, {0, 0}, desenfoc);
    return t;
}

inline void aplica(cv::Mat& color, const cv::Mat& t, const cv::Mat& on) {
    cv::Mat f;
    color.convertTo(f, CV_32FC3);
    cv::Mat t3;
    cv::merge(std::vector<cv::Mat>{t, t, t}, t3);
    cv::Mat amb = f + t3;
    amb.convertTo(f, CV_8UC3);
    f.copyTo(color, on);
}

inline figura fes_figura(bool ulleres) {
    figura g{cv::Mat(alt, ample, CV_8UC3, cv::Scalar::all(0)), cv::Mat::zeros(alt, ample, CV_8U), {}, {}, {}, {}};
    const cv::Point c(100, 125);
    cv::Mat cabells = cv::Mat::zeros(alt, ample, CV_8U), cara = cv::Mat::zeros(alt, ample, CV_8U);
    cv::fillConvexPoly(g.color, std::vector<cv::Point>{{20, 330}, {40, 255}, {160, 255}, {180, 330}}, samarreta);
    cv::rectangle(g.color, cv::Rect(78, 200, 44, 60), pell * 0.85, cv::FILLED);
    cv::ellipse(cabells, {100, 112}, {80, 100}, 0, 0, 360, 255, cv::FILLED);
    g.color.setTo(cabell, cabells);
    cv::ellipse(cara, c, {68, 90}, 0, 0, 360, 255, cv::FILLED);
    cv::rectangle(cara, cv::Rect(0, 0, ample, 62), 0, cv::FILLED); // the hairline
    cv::ellipse(cara, {100, 62}, {66, 18}, 0, 0, 180, 255, cv::FILLED);
    g.color.setTo(pell, cara);
    // Shading: the cheeks and jaw darker than the middle of the face.
    cv::Mat ombra(alt, ample, CV_8UC3, cv::Scalar::all(0));
    cv::ellipse(ombra, c, {68, 90}, 0, 0, 360, cv::Scalar::all(28), 14);
    cv::GaussianBlur(ombra, ombra, {0, 0}, 9);
    cv::subtract(g.color, ombra, g.color, cara);
    // The nose: its ridge's shadow, a lit tip, the wings and the nostrils.
    cv::line(g.color, {104, 92}, {108, 132}, pell * 0.8, 3, cv::LINE_AA);
    cv::circle(g.color, cv::Point(nas_al_sprite), 7, pell * 1.12, cv::FILLED, cv::LINE_AA);
    cv::ellipse(g.color, {90, 141}, {6, 8}, 20, 0, 360, pell * 0.85, 2, cv::LINE_AA);
    cv::ellipse(g.color, {110, 141}, {6, 8}, -20, 0, 360, pell * 0.85, 2, cv::LINE_AA);
    cv::ellipse(g.color, {93, 147}, {4, 2}, 15, 0, 360, pell * 0.35, cv::FILLED, cv::LINE_AA);
    cv::ellipse(g.color, {107, 147}, {4, 2}, -15, 0, 360, pell * 0.35, cv::FILLED, cv::LINE_AA);
    for (int costat : {-1, 1}) // eyebrows
        cv::ellipse(g.color, {100 + (ull_al_costat + 2) * costat, 94}, {16, 5}, 0, 190, 350, cabell, 3, cv::LINE_AA);
    aplica(g.color, textura({ample, alt}, 11, 7, 1.2), cara);
    aplica(g.color, textura({ample, alt}, 12, 25, 0.8), cabells & ~cara);
    if (ulleres) {
        for (int costat : {-1, 1})
            cv::rectangle(g.color, cv::Rect(100 + ull_al_costat * costat - 16, 96, 32, 22), cv::Scalar(20, 20, 20), 2,
                          cv::LINE_AA);
        cv::line(g.color, {100 - ull_al_costat + 16, 104}, {100 + ull_al_costat - 16, 104}, cv::Scalar(20, 20, 20), 2,
                 cv::LINE_AA);
    }
    cv::Mat gris;
    cv::cvtColor(g.color, gris, cv::COLOR_BGR2GRAY);
    g.mascara = cabells | cara | (gris > 0); // the neck and shoulders too
    // Turned away: the back of the head, hair over it all.
    g.esquena = g.color.clone();
    g.esquena.setTo(cabell, cabells | cara);
    aplica(g.esquena, textura({ample, alt}, 13, 25, 0.8), cabells | cara);
    g.columnes.create(alt, ample, CV_32F);
    g.files.create(alt, ample, CV_32F);
    g.relleu.create(alt, ample, CV_32F);
    for (int y = 0; y < alt; ++y)
        for (int x = 0; x < ample; ++x) {
            g.columnes.at<float>(y, x) = float(x);
            g.files.at<float>(y, x) = float(y);
            g.relleu.at<float>(y, x) = float(relleu(x, y));
        }
    return g;
}

// Pictures kept from one picture to the next: under a sanitizer, each large allocation costs
// fresh pages. The last five are whole pictures, used through the part where the figure falls.
struct taller {
    cv::Mat expressio, mapa, girada, mascara_girada;
    cv::Mat figura, mascara, pes, resta, mescla;
};

// The eyes and mouth of this picture, on a copy of the figure in `c`.
inline const cv::Mat& amb_expressio(const figura& f, const gest& g, cv::Mat& c) {
    f.color.copyTo(c);
    for (int costat : {-1, 1}) {
        cv::Point ull(100 + ull_al_costat * costat, 107);
        if (g.ulls_closos) {
            cv::ellipse(c, ull, {12, 6}, 0, 0, 360, pell * 0.95, cv::FILLED, cv::LINE_AA);
            cv::ellipse(c, ull, {12, 3}, 0, 0, 180, cv::Scalar(40, 50, 70), 2, cv::LINE_AA);
        } else {
            cv::ellipse(c, ull, {12, 6}, 0, 0, 360, cv::Scalar(235, 240, 245), cv::FILLED, cv::LINE_AA);
            cv::circle(c, ull, 5, cv::Scalar(60, 50, 30), cv::FILLED, cv::LINE_AA);
        }
    }
    const double s = g.somriure;
    const cv::Point boca(100, 168);
    const int mitja_amplada = int(std::lround(19 + 9 * s)), obertura = int(std::lround(2 + 8 * s));
    cv::ellipse(c, boca + cv::Point(0, obertura / 2), {mitja_amplada, obertura}, 0, 0, 180, llavi, cv::FILLED,
                cv::LINE_AA);
    cv::ellipse(c, boca, {mitja_amplada, int(std::lround(3 + 4 * s))}, 0, 180, 360, llavi, 2, cv::LINE_AA);
    if (s > 0.3) // the teeth
        cv::ellipse(c, boca + cv::Point(0, 2), {mitja_amplada - 4, obertura - 3}, 0, 0, 180, cv::Scalar(230, 230, 235),
                    cv::FILLED);
    return c;
}

// The figure turned by `gir` radians about its own upright, into `girada`: each pixel carried across
// by its relief. A pixel of the turned figure at column u comes from u + relleu(u)·tan(gir).
inline const cv::Mat& gira(const figura& f, const cv::Mat& imatge, double gir, cv::Mat& mapa, cv::Mat& girada) {
    if (gir == 0) return imatge;
    cv::scaleAdd(f.relleu, std::tan(gir), f.columnes, mapa);
    cv::remap(imatge, girada, mapa, f.files, cv::INTER_LINEAR, cv::BORDER_CONSTANT);
    return girada;
}

// Where the point `p` of the figure is once turned by `gir`: the column u that the turn brings it to.
inline cv::Point2d girat(cv::Point2d p, double gir) {
    double u = p.x;
    for (int i = 0; i < 8; ++i) u = p.x - relleu(u, p.y) * std::tan(gir);
    return {u, p.y};
}

// The turned figure to the picture: its nose at `nas`, carried aside by the turn, squeezed by it,
// then tilted by `inclina` radians and grown by `escala` about the nose.
inline cv::Matx23d al_quadre(const gest& g, double gir) {
    const double k = std::max(0.05, std::cos(gir)), despla = std::sin(gir) * eix_del_gir;
    const double c = std::cos(g.inclina) * g.escala, s = std::sin(g.inclina) * g.escala;
    const cv::Matx22d m = cv::Matx22d(c, -s, s, c) * cv::Matx22d(k, 0, 0, 1);
    const cv::Vec2d t = cv::Vec2d(g.nas.x - despla, g.nas.y) - m * cv::Vec2d(nas_al_sprite.x, nas_al_sprite.y);
    return {m(0, 0), m(0, 1), t[0], m(1, 0), m(1, 1), t[1]};
}

// How far a turn carries the tip of the nose across the picture, tilt and lean aside.
inline double despla_del_gir(double gir) {
    return std::cos(gir) * (girat(nas_al_sprite, gir).x - nas_al_sprite.x) - std::sin(gir) * eix_del_gir;
}

inline cv::Point2d per(const cv::Matx23d& a, cv::Point2d p) {
    return {a(0, 0) * p.x + a(0, 1) * p.y + a(0, 2), a(1, 0) * p.x + a(1, 1) * p.y + a(1, 2)};
}

// The top-left `mida` of the whole picture `m` holds, made once.
inline cv::Mat part_de(cv::Mat& m, cv::Size quadre, int tipus, cv::Size mida) {
    m.create(quadre, tipus);
    return m(cv::Rect({0, 0}, mida));
}

// The figure onto the picture by `a`, blended by its mask's edge, only where it falls.
inline void posa(cv::Mat& quadre, const cv::Mat& color, const cv::Mat& mascara, const cv::Matx23d& a, taller& t) {
    std::vector<cv::Point2f> cantons;
    for (cv::Point2d p : {cv::Point2d(0, 0), cv::Point2d(ample, 0), cv::Point2d(0, alt), cv::Point2d(ample, alt)})
        cantons.push_back(cv::Point2f(per(a, p)));
    const cv::Rect on = (cv::boundingRect(cantons) + cv::Size(2, 2)) & cv::Rect(0, 0, quadre.cols, quadre.rows);
    if (on.empty()) return;
    const cv::Matx23d aqui(a(0, 0), a(0, 1), a(0, 2) - on.x, a(1, 0), a(1, 1), a(1, 2) - on.y);
    cv::Mat figura = part_de(t.figura, quadre.size(), CV_8UC3, on.size());
    cv::Mat m8 = part_de(t.mascara, quadre.size(), CV_8U, on.size());
    cv::Mat pes = part_de(t.pes, quadre.size(), CV_32F, on.size());
    cv::Mat resta = part_de(t.resta, quadre.size(), CV_32F, on.size());
    cv::Mat mescla = part_de(t.mescla, quadre.size(), CV_8UC3, on.size());
    cv::warpAffine(color, figura, aqui, on.size(), cv::INTER_LINEAR, cv::BORDER_CONSTANT);
    cv::warpAffine(mascara, m8, aqui, on.size(), cv::INTER_LINEAR, cv::BORDER_CONSTANT);
    m8.convertTo(pes, CV_32F, 1 / 255.0);
    cv::subtract(cv::Scalar::all(1), pes, resta);
    cv::blendLinear(figura, quadre(on), pes, resta, mescla);
    mescla.copyTo(quadre(on));
}

inline void posa_ma(cv::Mat& quadre, cv::Point2d centre) {
    cv::Point p(centre);
    cv::ellipse(quadre, p, {int(palmell_x), int(palmell_y)}, 0, 0, 360, pell * 1.05, cv::FILLED, cv::LINE_AA);
    for (int dit = 0; dit < 4; ++dit)
        cv::rectangle(quadre, cv::Rect(p.x - 40 + 21 * dit, p.y - 115, 17, 70), pell * (1.0 - 0.04 * dit), cv::FILLED,
                      cv::LINE_AA);
    cv::line(quadre, p + cv::Point(-30, 10), p + cv::Point(25, 25), pell * 0.8, 2, cv::LINE_AA);
}

// Camera noise: a few fields of it taken in turn, which costs a picture nothing.
inline const std::array<cv::Mat, 8>& sorolls() {
    static const std::array<cv::Mat, 8> s = [] {
        std::array<cv::Mat, 8> v;
        cv::RNG rng(99);
        for (cv::Mat& n : v) {
            n.create(480, 640, CV_16SC3);
            rng.fill(n, cv::RNG::NORMAL, cv::Scalar::all(0), cv::Scalar::all(4));
        }
        return v;
    }();
    return s;
}

inline bool dins(cv::Point2d p, double marge) {
    return p.x >= marge && p.y >= marge && p.x < 640 - marge && p.y < 480 - marge;
}

} // namespace detall

struct cas {
    std::string nom;
    int fotogrames;
    bool ulleres;
    std::function<gest(int)> fa;
    cv::Point2d clic = detall::nas_al_sprite; // the point of the face the helper clicks, on the figure
};

// One picture of a case into `quadre`, and its truth.
inline void pinta(const cas& c, const detall::figura& f, const cv::Mat& paret, int i, veritat& v, cv::Mat& quadre,
                  detall::taller& t) {
    using namespace detall;
    gest g = c.fa(i);
    paret.copyTo(quadre);
    const bool d_esquena = std::abs(g.gir) > gir_maxim_vist;
    const double gir = std::clamp(g.gir, -gir_maxim_vist, gir_maxim_vist);
    const cv::Matx23d a = al_quadre(g, gir);
    const cv::Mat& vista = d_esquena ? f.esquena : amb_expressio(f, g, t.expressio);
    posa(quadre, gira(f, vista, gir, t.mapa, t.girada), gira(f, f.mascara, gir, t.mapa, t.mascara_girada), a, t);
    const cv::Point2d punt = per(a, girat(c.clic, gir));
    std::optional<double> a_la_ma;
    if (g.ma) {
        posa_ma(quadre, *g.ma);
        a_la_ma = std::hypot((punt.x - g.ma->x) / palmell_x, (punt.y - g.ma->y) / palmell_y);
    }
    if (g.llum != 1) quadre.convertTo(quadre, -1, g.llum);
    cv::add(quadre, sorolls()[size_t(i) % sorolls().size()], quadre, cv::noArray(), CV_8U);
    const bool vist = !d_esquena && dins(punt, 0) && (!a_la_ma || *a_la_ma > 1);
    v.punt = vist ? std::optional(punt) : std::nullopt;
    v.clar = vist && std::abs(g.gir) < gir_clar && dins(punt, 40) && (!a_la_ma || *a_la_ma > 2.2);
    v.gesticula = g.ulls_closos || g.somriure > 0;
}

// How someone with little head control holds it at time t: the tip of the nose in slow arcs of
// ±40 px about `centre`, the head turning ±0.35 rad as it sweeps across (the turn carries the nose
// part of the way), tilting and leaning a little with them, and a jerk every few seconds that
// settles in half a second.
inline gest arcs(double t, cv::Point2d centre, double amplada = 40) {
    gest g;
    g.nas = centre +
            cv::Point2d(amplada * std::sin(2 * M_PI * t / 6.3), 0.6 * amplada * std::sin(2 * M_PI * t / 4.1 + 1));
    const double part = amplada / 40;
    g.gir = -part * 0.35 * std::sin(2 * M_PI * t / 6.3);
    g.nas.x -= detall::despla_del_gir(g.gir);
    g.inclina = part * 0.1 * std::sin(2 * M_PI * t / 5.2);
    g.escala = 1 + part * 0.04 * std::sin(2 * M_PI * t / 7.7);
    const double des_del_sobresalt = std::fmod(t + 1.2, 3.7);
    if (amplada >= 20)
        g.nas += cv::Point2d(18, -10) * std::exp(-des_del_sobresalt / 0.15) * std::min(1.0, des_del_sobresalt * 15);
    return g;
}

// Each case is a test of its own, by name, in tests/CMakeLists.txt: a new one is named there too.
inline std::vector<cas> casos() {
    const cv::Point2d mig(320, 230);
    auto t = [](int i) { return i / fps; };
    std::vector<cas> v;
    v.push_back({"quiet", 1800, false, [=](int i) {
                     gest g;
                     g.nas = mig + cv::Point2d(1.5 * std::sin(t(i) / 7), 1.0 * std::sin(t(i) / 5 + 2));
                     return g;
                 }});
    v.push_back({"arcs", 300, true, [=](int i) { return arcs(t(i), mig); }});
    v.push_back({"blink", 300, false, [=](int i) {
                     gest g = arcs(t(i), mig, 3);
                     g.ulls_closos = i % 30 >= 20 && i % 30 < 25;
                     return g;
                 }, {100, 107}}); // between the eyes
    v.push_back({"smile", 300, true, [=](int i) {
                     gest g = arcs(t(i), mig, 3);
                     g.somriure = std::max(0.0, std::sin(M_PI * ((i % 30) - 10) / 20.0));
                     if (i % 30 < 10) g.somriure = 0;
                     return g;
                 }, {100, 155}}); // above the upper lip
    v.push_back({"hand", 150, false, [=](int i) {
                     gest g = arcs(t(i), mig);
                     if (i >= 45 && i < 75) g.ma = cv::Point2d(120 + (i - 45) * 14.0, 250);
                     return g;
                 }});
    v.push_back({"turn", 150, false, [=](int i) {
                     gest g = arcs(t(i), mig);
                     double s = t(i) - 1.5; // away in a third of a second, held, back in a third
                     g.gir += 1.6 * std::clamp(std::min(s, 1.0 - s) / 0.33, 0.0, 1.0);
                     return g;
                 }});
    v.push_back({"away", 240, false, [=](int i) { // out to the right in a second, away 3 s, in from the left
                     gest g = arcs(t(i), i < 150 ? mig : cv::Point2d(200, 260));
                     if (i >= 60 && i < 150) g.nas.x += 15.0 * std::min(i - 59, 30);
                     else if (i >= 150) g.nas.x -= 15.0 * std::max(0, 210 - i);
                     return g;
                 }});
    v.push_back({"light", 240, false, [=](int i) {
                     gest g = arcs(t(i), mig);
                     double s = t(i);
                     g.llum = 1 - 0.5 * std::clamp(std::min(s - 1, 7 - s) / 2, 0.0, 1.0);
                     return g;
                 }});
    return v;
}

inline std::optional<cas> anomenat(const std::string& nom) {
    for (cas& c : casos())
        if (c.nom == nom) return c;
    return std::nullopt;
}

// The case written as an MJPG video at `cami`; its truth, picture by picture.
inline std::vector<veritat> grava(const cas& c, const std::string& cami) {
    const detall::figura f = detall::fes_figura(c.ulleres);
    const cv::Mat paret = sala::paret(7);
    cv::VideoWriter w(cami, cv::VideoWriter::fourcc('M', 'J', 'P', 'G'), fps, {640, 480});
    std::vector<veritat> v(size_t(c.fotogrames));
    cv::Mat quadre;
    detall::taller t;
    for (int i = 0; i < c.fotogrames; ++i) {
        pinta(c, f, paret, i, v[size_t(i)], quadre, t);
        w.write(quadre);
    }
    return v;
}

// How well a follower did on a case, against the truth.
struct xifres {
    double mediana = 0, p95 = 0;
    double deriva = 0;      // the error over the last second
    double per_gest = 0;    // the most a blink or smile moved the point from where it was before it
    double retorn = 0;      // seconds, the longest from the point coming back to it being followed again
    int perduts = 0, en_vista = 0, falsos = 0;
};

// `segueix` gives the follower's place for each picture of the video, or none. A place reported
// while the point is out of view, or more than `fora_de_lloc` px off it while it is half hidden or
// turned, is false.
constexpr double fora_de_lloc = 15;
template <class F>
xifres avalua(const std::vector<veritat>& veritats, const std::string& cami, F&& segueix) {
    xifres x;
    std::vector<double> errors, finals;
    cv::VideoCapture lector(cami);
    cv::Mat m;
    std::optional<cv::Point2d> abans_del_gest;
    std::optional<int> tornat_a;
    bool vist_abans = true;
    for (size_t i = 0; i < veritats.size() && lector.read(m); ++i) {
        const veritat& v = veritats[i];
        std::optional<cv::Point2f> p = segueix(m);
        if (!v.punt) {
            x.falsos += p ? 1 : 0;
            vist_abans = false;
            continue;
        }
        if (!vist_abans) tornat_a = int(i);
        vist_abans = true;
        const double lluny = p ? std::hypot(p->x - v.punt->x, p->y - v.punt->y) : 0;
        const bool al_lloc = p && lluny <= 8;
        if (tornat_a && al_lloc) {
            x.retorn = std::max(x.retorn, (double(i) - *tornat_a) / fps);
            tornat_a.reset();
        }
        // Half hidden or turned, and somewhere else; at the picture's edge a point leaving fast may be trailed
        // by a picture's travel more.
        if (!v.clar && lluny > (detall::dins(*v.punt, 40) ? 1 : 2) * fora_de_lloc) ++x.falsos;
        if (tornat_a || !v.clar) continue;
        ++x.en_vista;
        if (!p) {
            ++x.perduts;
            continue;
        }
        cv::Point2d error(p->x - v.punt->x, p->y - v.punt->y);
        errors.push_back(cv::norm(error));
        if (i + fps >= veritats.size()) finals.push_back(cv::norm(error));
        if (!v.gesticula) abans_del_gest = error;
        else if (abans_del_gest) x.per_gest = std::max(x.per_gest, cv::norm(error - *abans_del_gest));
    }
    if (tornat_a) x.retorn = double(veritats.size() - size_t(*tornat_a)) / fps; // never found again
    x.mediana = sala::percentil(errors, 0.5);
    x.p95 = sala::percentil(errors, 0.95);
    x.deriva = sala::percentil(finals, 0.5);
    return x;
}

} // namespace cara
