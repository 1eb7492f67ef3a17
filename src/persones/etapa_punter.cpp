#include "persones/etapa_punter.h"

#include "app/finestra_main.h"
#include "persones/metode_acces.h"
#include "platform/caixa_imatge.h"
#include "platform/temporitzador.h"

#include <QAction>
#include <QCoreApplication>
#include <QMouseEvent>

#include <algorithm>
#include <cmath>
#include <tuple>

namespace brisola {

namespace {

constexpr double rang_joystick = 65535;
// The frame's units are the smoothing's speeds' too.
using metode_acces::alt;
using metode_acces::ample;
// A tick that comes this late (the window was busy) starts the smoothing afresh rather than leap.
constexpr double interrupcio = 0.25;

uint32_t a_joystick(double fraccio) { return uint32_t(std::lround(std::clamp(fraccio, 0.0, 1.0) * rang_joystick)); }

// The tracker's frame: vertical, horizontal.
std::pair<int16_t, int16_t> a_tintseer(const std::array<double, 2>& fraccio) {
    return {int16_t(std::lround(fraccio[1] * alt)), int16_t(std::lround(fraccio[0] * ample))};
}

} // namespace

etapa_punter::etapa_punter(rellotge& temps, joystick_sistema& joystick, tintseer_biblioteca& tintseer)
    : temps_(temps), rellotge_(temps.crea()), joystick_(*this, joystick), tintseer_(*this, tintseer) {
    rellotge_->set_Interval(periode_ms);
    rellotge_->on_tick([this] { tic(); });
}

etapa_punter::~etapa_punter() = default;

void etapa_punter::enganxa(finestra_main& w) {
    w_ = &w;
    pantalla_ = w.pantalla;
    w.pantalla->installEventFilter(this);
    for (int i = 0; i < w.mn_acces.size(); ++i)
        connect(w.mn_acces[i], &QAction::triggered, this, [this] {
            reinicia_suau(); // another source: no glide from where the last one pointed
            rellotge_segons_cal();
        });
    rellotge_segons_cal();
}

void etapa_punter::set_abast(const caixa_abast& caixa) {
    abast_ = caixa;
    ratoli_enviat_ = {-1, -1};
    if (ratoli_ && w_ && w_->mn_acces.Checked(metode_acces::ratoli) && !suau_.actiu())
        mou_ratoli(ajusta((*ratoli_)[0], (*ratoli_)[1]));
}

void etapa_punter::set_suavitzat(const parametres_suavitzat& p) {
    suau_.set_parametres(p);
    reinicia_suau();
    rellotge_segons_cal();
}

void etapa_punter::reinicia_suau() {
    suau_.reinicia();
    joystick_.suau_.reset();
    tintseer_.suau_.reset();
    darrer_tic_ = temps_.segons();
}

// The switch moves no pointer: with it the clock rests.
bool etapa_punter::cal_rellotge() const {
    return w_ && suau_.actiu() &&
           (w_->mn_acces.Checked(metode_acces::ratoli) || w_->mn_acces.Checked(metode_acces::joystick) ||
            w_->mn_acces.Checked(metode_acces::seguidor));
}

void etapa_punter::rellotge_segons_cal() { rellotge_->set_Enabled(cal_rellotge()); }

// The window reads the tracker at the note's pace, 10 ms to a second apart: smoothed at that pace a
// jittery head would be aliased, and past a quarter of a second not smoothed at all.
bool etapa_punter::suavitza_tintseer() const {
    return rellotge_->Enabled() && w_->mn_acces.Checked(metode_acces::seguidor);
}

std::array<double, 2> etapa_punter::suavitza(double x, double y) {
    const double ara = temps_.segons();
    const double dt = ara - darrer_tic_;
    darrer_tic_ = ara;
    if (dt > interrupcio) suau_.reinicia();
    auto [sx, sy] = suau_.filtra(x * ample, y * alt, dt);
    return {sx / ample, sy / alt};
}

void etapa_punter::tic() {
    if (!cal_rellotge()) return rellotge_segons_cal(); // the source changed without its menu item
    if (w_->mn_acces.Checked(metode_acces::ratoli) && ratoli_) {
        auto f = suavitza((*ratoli_)[0], (*ratoli_)[1]);
        return mou_ratoli(ajusta(f[0], f[1]));
    }
    if (w_->mn_acces.Checked(metode_acces::seguidor)) return tic_tintseer();
    if (w_->mn_acces.Checked(metode_acces::joystick)) return tic_joystick();
    darrer_tic_ = temps_.segons();
}

void etapa_punter::tic_joystick() {
    JOYINFO lectura;
    if (joystick_.real_.joyGetPos(0, lectura) != JOYERR_NOERROR) {
        joystick_.suau_.reset();
        darrer_tic_ = temps_.segons();
        return;
    }
    auto f = suavitza(lectura.wXpos / rang_joystick, lectura.wYpos / rang_joystick);
    auto a = ajusta(f[0], f[1]);
    lectura.wXpos = a_joystick(a[0]);
    lectura.wYpos = a_joystick(a[1]);
    joystick_.suau_ = lectura;
}

// Out of sight the readers are told nothing, and the next sighting starts afresh where it is.
void etapa_punter::tic_tintseer() {
    const auto lloc = tintseer_.llegeix_real();
    if (!lloc) return reinicia_suau();
    auto f = suavitza((*lloc)[0], (*lloc)[1]);
    tintseer_.suau_ = a_tintseer(ajusta(f[0], f[1]));
}

void etapa_punter::mou_ratoli(const std::array<double, 2>& fraccio) {
    const QPointF lloc(fraccio[0] * w_->pantalla->width(), fraccio[1] * w_->pantalla->height());
    // A smoothed pointer settling by less than a tenth of a pixel is still.
    if (std::hypot(lloc.x() - ratoli_enviat_[0], lloc.y() - ratoli_enviat_[1]) < 0.1) return;
    ratoli_enviat_ = {lloc.x(), lloc.y()};
    QMouseEvent moviment(QEvent::MouseMove, lloc, w_->pantalla->mapToGlobal(lloc), Qt::NoButton, botons_,
                         Qt::NoModifier);
    passant_ = true;
    QCoreApplication::sendEvent(w_->pantalla, &moviment);
    passant_ = false;
}

bool etapa_punter::eventFilter(QObject* objecte, QEvent* event) {
    // The surface is compared with the pointer kept, not through the window, which may be going away.
    if (passant_ || event->type() != QEvent::MouseMove || !pantalla_ || objecte != pantalla_) return false;
    const auto& e = static_cast<const QMouseEvent&>(*event);
    ratoli_ = std::array<double, 2>{e.position().x() / std::max(1, w_->pantalla->width()),
                                    e.position().y() / std::max(1, w_->pantalla->height())};
    botons_ = e.buttons();
    if (!actiu() || !w_->mn_acces.Checked(metode_acces::ratoli)) return false;
    if (!suau_.actiu()) mou_ratoli(ajusta((*ratoli_)[0], (*ratoli_)[1]));
    return true;
}

std::optional<std::array<double, 2>> etapa_punter::cru() const {
    if (!w_) return std::nullopt;
    if (w_->mn_acces.Checked(metode_acces::ratoli)) return ratoli_;
    if (w_->mn_acces.Checked(metode_acces::joystick)) {
        JOYINFO l;
        if (joystick_.real_.joyGetPos(0, l) != JOYERR_NOERROR) return std::nullopt;
        return std::array<double, 2>{l.wXpos / rang_joystick, l.wYpos / rang_joystick};
    }
    if (w_->mn_acces.Checked(metode_acces::seguidor)) return tintseer_.llegeix_real();
    return std::nullopt;
}

etapa_punter::joystick_ajustat::joystick_ajustat(etapa_punter& etapa, joystick_sistema& real)
    : etapa_(etapa), real_(real) {
    real_.on_canvi([this] { avisa_canvi(); });
}

uint32_t etapa_punter::joystick_ajustat::joyGetPos(uint32_t numero, JOYINFO& lectura) {
    if (suau_ && etapa_.suau_.actiu()) {
        lectura = *suau_;
        return JOYERR_NOERROR;
    }
    const uint32_t r = real_.joyGetPos(numero, lectura);
    if (r == JOYERR_NOERROR && !etapa_.abast_.sencera()) {
        auto a = etapa_.ajusta(lectura.wXpos / rang_joystick, lectura.wYpos / rang_joystick);
        lectura.wXpos = a_joystick(a[0]);
        lectura.wYpos = a_joystick(a[1]);
    }
    return r;
}

std::optional<std::array<double, 2>> etapa_punter::tintseer_ajustat::llegeix_real() const {
    int16_t v = -1, h = -1;
    real_.TintseerObtenirPosicio(v, h);
    if (v < 0 || h < 0) return std::nullopt;
    return std::array<double, 2>{h / ample, v / alt};
}

void etapa_punter::tintseer_ajustat::TintseerObtenirPosicio(int16_t& vertical, int16_t& horitzontal) {
    if (etapa_.suavitza_tintseer()) {
        if (suau_) std::tie(vertical, horitzontal) = *suau_;
        return;
    }
    if (!etapa_.actiu()) return real_.TintseerObtenirPosicio(vertical, horitzontal);
    if (const auto lloc = llegeix_real())
        std::tie(vertical, horitzontal) = a_tintseer(etapa_.ajusta((*lloc)[0], (*lloc)[1]));
}

} // namespace brisola
