#include "persones/etapa_pulsador.h"

#include "app/finestra_main.h"
#include "music/tecla_pulsador.h"
#include "persones/metode_acces.h"
#include "platform/caixa_imatge.h"

#include <QCoreApplication>
#include <QKeyEvent>
#include <QMouseEvent>

#include <algorithm>
#include <utility>

namespace brisola {

namespace {

// A double click is one more press to the surface.
std::unique_ptr<QEvent> com_a_premsa(const QEvent& event) {
    if (event.type() != QEvent::MouseButtonDblClick) return std::unique_ptr<QEvent>(event.clone());
    const auto& e = static_cast<const QMouseEvent&>(event);
    return std::make_unique<QMouseEvent>(QEvent::MouseButtonPress, e.position(), e.scenePosition(), e.globalPosition(),
                                         e.button(), e.buttons(), e.modifiers(), e.pointingDevice());
}

} // namespace

etapa_pulsador::etapa_pulsador(finestra_main& w)
    : w_(w), seleccio_(w.serveis_.temps, {[this](int t) { compta(true, t); }, [this](int t) { compta(false, t); }}),
      seguent_(w.serveis_.temps, {[this](int t) { intercepta(true, t); }, [this](int t) { intercepta(false, t); }}) {
    w_.installEventFilter(this);
    w_.pantalla->installEventFilter(this);
}

etapa_pulsador::~etapa_pulsador() = default;

void etapa_pulsador::set_temps(int acceptacio, int ignora) {
    const bool filtrava = filtra();
    acceptacio_ = std::clamp(acceptacio, 0, 1000);
    ignora_ = std::clamp(ignora, 0, 2000);
    seleccio_.set_temps(acceptacio_, ignora_);
    seguent_.set_temps(acceptacio_, ignora_);
    // A press held across the change is ended by its own release, never delivered after it;
    // one that counted goes on as a direct press, so the board still hears its release.
    if (filtrava && !filtra()) {
        directa_ = seleccio_.acceptada() ? seleccio_.tecla() : 0;
        seleccio_.reinicia();
    }
    if (!filtrava && filtra() && directa_ != 0) seleccio_.adopta(std::exchange(directa_, 0));
}

std::optional<etapa_pulsador::pols> etapa_pulsador::llegeix(QObject* objecte, const QEvent& event) const {
    const QEvent::Type t = event.type();
    if (objecte == w_.pantalla &&
        (t == QEvent::MouseButtonPress || t == QEvent::MouseButtonDblClick || t == QEvent::MouseButtonRelease))
        return pols{t != QEvent::MouseButtonRelease, -int(static_cast<const QMouseEvent&>(event).button())};
    if (objecte != &w_ || (t != QEvent::KeyPress && t != QEvent::KeyRelease)) return std::nullopt;
    const auto& e = static_cast<const QKeyEvent&>(event);
    if (!tecla_de_pulsador(e)) return std::nullopt;
    return pols{t == QEvent::KeyPress, e.key()};
}

bool etapa_pulsador::eventFilter(QObject* objecte, QEvent* event) {
    if (passant_) return false;
    if (!w_.mn_acces.Checked(metode_acces::pulsador)) {
        deixa_anar();
        return false;
    }
    const std::optional<pols> p = llegeix(objecte, *event);
    if (!p) return false;
    if (observador_) observador_(p->premsa, false);
    interruptor& i = p->tecla != 0 && p->tecla == tecla_seguent_ ? seguent_ : seleccio_;
    if (&i == &seleccio_ && !filtra()) return directe(*p);
    if (&i == &seleccio_) guarda(objecte, *event, *p);
    p->premsa ? i.premsa(p->tecla) : i.alliberament(p->tecla);
    return true;
}

// The switch is no longer the access method: a press that counted ends here, so the board, which
// may have taken it, never waits for its release.
void etapa_pulsador::deixa_anar() {
    const int tecla = directa_ != 0 ? directa_ : seleccio_.acceptada() ? seleccio_.tecla() : 0;
    seleccio_.reinicia();
    seguent_.reinicia();
    directa_ = 0;
    if (tecla != 0) intercepta(false, tecla);
}

// As it came; the board sees only the release of the press it saw.
bool etapa_pulsador::directe(const pols& p) {
    if (p.premsa) {
        directa_ = p.tecla;
        ++directes_;
    } else if (p.tecla == directa_) directa_ = 0;
    else return false;
    return intercepta(p.premsa, p.tecla);
}

void etapa_pulsador::guarda(QObject* objecte, const QEvent& event, const pols& p) {
    if (p.premsa && seleccio_.tecla() == 0) premsa_ = {com_a_premsa(event), objecte};
    else if (!p.premsa && p.tecla == seleccio_.tecla()) alliberament_ = {std::unique_ptr<QEvent>(event.clone()), objecte};
}

void etapa_pulsador::compta(bool premsa, int tecla) {
    const guardat g = std::move(premsa ? premsa_ : alliberament_);
    if (!intercepta(premsa, tecla) && g.event) passa(g.desti, *g.event);
}

bool etapa_pulsador::intercepta(bool premsa, int tecla) const {
    if (observador_) observador_(premsa, true);
    return interceptor_ && interceptor_(premsa, std::max(tecla, 0));
}

void etapa_pulsador::passa(QObject* objecte, const QEvent& event) {
    passant_ = true;
    std::unique_ptr<QEvent> copia(event.clone());
    QCoreApplication::sendEvent(objecte, copia.get());
    passant_ = false;
}

} // namespace brisola
