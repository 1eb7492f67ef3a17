#pragma once
// Between the switch and the surface, for a person whose presses need it: a
// press counts only once it has been held the acceptance time (a brush of the
// switch is no press), a press this soon after the last release is ignored (a
// tremor's double press is one), and a release counts only for the press it
// ends. With both times 0, every press and release reaches the surface as it came.
// The board's "next" key is a switch of its own, with the same times, that never plays.
#include "persones/interruptor.h"

#include <QObject>

#include <functional>
#include <memory>
#include <optional>

class QEvent;

namespace brisola {

class finestra_main;

class etapa_pulsador : public QObject {
public:
    explicit etapa_pulsador(finestra_main& w);
    ~etapa_pulsador() override;
    // Milliseconds: acceptance 0..1000, ignore-repeat 0..2000.
    void set_temps(int acceptacio, int ignora);
    void set_tecla_seguent(int tecla) { tecla_seguent_ = tecla; }
    // Sees each press and release that counts, before the surface does: given
    // whether it is a press and its key (0: a mouse button); true keeps it from the surface.
    using interceptor = std::function<bool(bool premsa, int tecla)>;
    void set_interceptor(interceptor i) { interceptor_ = std::move(i); }
    // Sees every press and release as it comes (`acceptada` false) and again once it counts (true).
    using observador = std::function<void(bool premsa, bool acceptada)>;
    void set_observador(observador o) { observador_ = std::move(o); }
    // A press of the switch has begun and waits for its acceptance time.
    bool premsa_en_espera() const { return seleccio_.en_espera(); }
    // A number that changes with each press, counted or passed straight: tells one press from the next.
    int premsa() const { return seleccio_.premses() + directes_; }

protected:
    bool eventFilter(QObject* objecte, QEvent* event) override;

private:
    // A press or a release of the switch: its key, or minus its mouse button.
    struct pols {
        bool premsa;
        int tecla;
    };
    std::optional<pols> llegeix(QObject* objecte, const QEvent& event) const;
    bool filtra() const { return acceptacio_ > 0 || ignora_ > 0; }
    void deixa_anar();
    bool directe(const pols& p);
    void guarda(QObject* objecte, const QEvent& event, const pols& p);
    void compta(bool premsa, int tecla);
    bool intercepta(bool premsa, int tecla) const;
    void passa(QObject* objecte, const QEvent& event);

    finestra_main& w_;
    int acceptacio_ = 0, ignora_ = 0;
    int tecla_seguent_ = 0;
    int directes_ = 0; // presses passed straight, with no times to count
    interruptor seleccio_, seguent_;
    // The press and the release of the key held, kept until they count, with where they went.
    struct guardat {
        std::unique_ptr<QEvent> event;
        QObject* desti = nullptr;
    };
    guardat premsa_, alliberament_;
    int directa_ = 0;      // with both times 0, the key whose press went on as it came
    bool passant_ = false; // an event we send on is not filtered again
    interceptor interceptor_;
    observador observador_;
};

} // namespace brisola
