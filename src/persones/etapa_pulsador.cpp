#include "persones/etapa_pulsador.h"

#include "app/finestra_main.h"
#include "platform/caixa_imatge.h"
#include "platform/temporitzador.h"

#include <QCoreApplication>
#include <QKeyEvent>
#include <QMouseEvent>

namespace brisola {

namespace {

bool es_tecla_de_pulsador(const QKeyEvent& e) {
    const int t = e.key();
    return !e.isAutoRepeat() && t != Qt::Key_Shift && t != Qt::Key_Control && t != Qt::Key_Alt &&
           t != Qt::Key_Meta && t != Qt::Key_AltGr && t != Qt::Key_unknown && e.modifiers() == Qt::NoModifier;
}

} // namespace

etapa_pulsador::etapa_pulsador(finestra_main& w) : w_(w), espera_(w.serveis_.temps.crea()) {
    espera_->on_tick([this] { accepta(); });
    w_.installEventFilter(this);
    w_.pantalla->installEventFilter(this);
}

etapa_pulsador::~etapa_pulsador() = default;

void etapa_pulsador::set_temps(int acceptacio, int ignora) {
    acceptacio_ = std::clamp(acceptacio, 0, 1000);
    ignora_ = std::clamp(ignora, 0, 2000);
}

etapa_pulsador::tipus etapa_pulsador::tipus_de(QObject* objecte, QEvent* event) const {
    if (!w_.mn_acces.Checked(3)) return tipus::cap;
    const QEvent::Type t = event->type();
    if (objecte == w_.pantalla && (t == QEvent::MouseButtonPress || t == QEvent::MouseButtonRelease))
        return t == QEvent::MouseButtonPress ? tipus::premsa : tipus::alliberament;
    if (objecte == &w_ && (t == QEvent::KeyPress || t == QEvent::KeyRelease) &&
        es_tecla_de_pulsador(static_cast<QKeyEvent&>(*event)))
        return t == QEvent::KeyPress ? tipus::premsa : tipus::alliberament;
    return tipus::cap;
}

bool etapa_pulsador::intercepta(tipus t, const QEvent& event) const {
    if (observador_) observador_(t == tipus::premsa, true);
    if (!interceptor_) return false;
    const int tecla = event.type() == QEvent::KeyPress || event.type() == QEvent::KeyRelease
                          ? static_cast<const QKeyEvent&>(event).key()
                          : 0;
    return interceptor_(t == tipus::premsa, tecla);
}

bool etapa_pulsador::eventFilter(QObject* objecte, QEvent* event) {
    const tipus t = passant_ ? tipus::cap : tipus_de(objecte, event);
    if (t == tipus::cap) return false;
    if (observador_) observador_(t == tipus::premsa, false);
    if (acceptacio_ == 0 && ignora_ == 0) return intercepta(t, *event);
    const double ara = w_.serveis_.temps.segons();
    if (t == tipus::premsa) {
        if (premsa_ || acceptada_ || (ara - darrer_alliberament_) * 1000 < ignora_) return true;
        if (acceptacio_ == 0) {
            acceptada_ = true;
            return intercepta(t, *event);
        }
        premsa_.reset(event->clone());
        desti_ = objecte;
        espera_->set_Interval(acceptacio_);
        espera_->set_Enabled(true);
        return true;
    }
    // A release: of an accepted press it passes; of one not yet accepted, both are dropped.
    espera_->set_Enabled(false);
    premsa_.reset();
    if (!acceptada_) return true;
    acceptada_ = false;
    darrer_alliberament_ = ara;
    return intercepta(t, *event);
}

void etapa_pulsador::accepta() {
    espera_->set_Enabled(false);
    if (!premsa_) return;
    std::unique_ptr<QEvent> premsa = std::move(premsa_);
    acceptada_ = true;
    if (!intercepta(tipus::premsa, *premsa)) passa(desti_, *premsa);
}

void etapa_pulsador::passa(QObject* objecte, const QEvent& event) {
    passant_ = true;
    std::unique_ptr<QEvent> copia(event.clone());
    QCoreApplication::sendEvent(objecte, copia.get());
    passant_ = false;
}

} // namespace brisola
