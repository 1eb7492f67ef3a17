#include "tauler/punter_tauler.h"

#include "persones/metode_acces.h"
#include "platform/joystick_sistema.h"
#include "platform/temporitzador.h"
#include "platform/tintseer_biblioteca.h"

#include <QEvent>

#include <algorithm>

namespace brisola {

using namespace metode_acces;

punter_tauler::punter_tauler(rellotge& r, tintseer_biblioteca& tintseer, joystick_sistema& joystick, fonts f)
    : rellotge_(r), tintseer_(tintseer), joystick_(joystick), fonts_(std::move(f)), mirada_(r.crea()) {
    mirada_->set_Interval(mirada_ms);
    mirada_->on_tick([this] { mira(); });
}

punter_tauler::~punter_tauler() = default;

void punter_tauler::mira_si(bool mira) {
    if (mira && !mirada_->Enabled()) darrera_mirada_ = rellotge_.segons();
    mirada_->set_Enabled(mira);
}

void punter_tauler::espera_moviment() {
    if (const std::optional<QPointF> p = llegeix(fonts_.vista_actual())) repos_.bloqueja(QRectF(*p, QSizeF(0, 0)));
}

void punter_tauler::veu(const QEvent& event) {
    // Only the window system's own moves bring the mouse back: the smoothing's go on after it has left.
    if (event.type() == QEvent::Leave) ratoli_fora_ = true;
    else if (event.type() == QEvent::Enter || (event.type() == QEvent::MouseMove && event.spontaneous()))
        ratoli_fora_ = false;
}

// In the frame of 640 by 480, as the access method gives it.
std::optional<QPointF> punter_tauler::lloc_propi(const vista& v) const {
    switch (v.acces) {
    case ratoli: return QPointF(v.ratoli.x() * ample, v.ratoli.y() * alt);
    case seguidor: {
        // The tracker writes both or nothing, while it does not see its object.
        int16_t vertical = -1, horitzontal = -1;
        tintseer_.TintseerObtenirPosicio(vertical, horitzontal);
        if (horitzontal < 0 || vertical < 0) return std::nullopt;
        return QPointF(horitzontal, vertical);
    }
    case joystick: {
        JOYINFO l;
        if (joystick_.joyGetPos(0, l) != JOYERR_NOERROR) return std::nullopt;
        return QPointF(l.wXpos * ample / 66000, l.wYpos * alt / 66000);
    }
    default: return std::nullopt;
    }
}

std::optional<QPointF> punter_tauler::llegeix(const vista& v) const {
    if (v.acces == ratoli && ratoli_fora_) return std::nullopt;
    const std::optional<QPointF> p = lloc_propi(v);
    if (v.acces == seguidor && !p) return std::nullopt;
    if (v.cursor) return v.cursor;
    if (!p) return std::nullopt;
    const double x = v.invertir_x ? p->x() : ample - p->x();
    const double y = v.invertir_y ? alt - p->y() : p->y();
    return QPointF(x * v.mida.width() / ample, y * v.mida.height() / alt);
}

void punter_tauler::mira() {
    const double ara = rellotge_.segons();
    const double dt = std::min(0.2, ara - darrera_mirada_);
    darrera_mirada_ = ara;
    punt_ = llegeix(fonts_.vista_actual());
    const int anterior = repos_.objectiu();
    const int triat = repos_.mira(punt_ ? &*punt_ : nullptr, fonts_.llocs(), dt);
    if (triat >= 0) return fonts_.triat(triat);
    fonts_.mirat(repos_.objectiu() != anterior);
}

} // namespace brisola
