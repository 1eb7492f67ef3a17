#pragma once
// Between the switch and the surface, for a person whose presses need it: a
// press counts only once it has been held the acceptance time (a brush of the
// switch is no press), and a press this soon after the last release is
// ignored (a tremor's double press is one). With both times 0, every press and
// release reaches the surface as it came.
#include <QObject>

#include <functional>
#include <memory>

class QEvent;

namespace brisola {

class finestra_main;
class temporitzador;

class etapa_pulsador : public QObject {
public:
    explicit etapa_pulsador(finestra_main& w);
    ~etapa_pulsador() override;
    // Milliseconds: acceptance 0..1000, ignore-repeat 0..2000.
    void set_temps(int acceptacio, int ignora);
    // Sees each press and release that counts, before the surface does: given
    // whether it is a press and its key (0: a mouse button); true keeps it from the surface.
    using interceptor = std::function<bool(bool premsa, int tecla)>;
    void set_interceptor(interceptor i) { interceptor_ = std::move(i); }
    // Sees every press and release as it comes (`acceptada` false) and again once it counts (true).
    using observador = std::function<void(bool premsa, bool acceptada)>;
    void set_observador(observador o) { observador_ = std::move(o); }

protected:
    bool eventFilter(QObject* objecte, QEvent* event) override;

private:
    enum class tipus { cap, premsa, alliberament };
    tipus tipus_de(QObject* objecte, QEvent* event) const;
    void passa(QObject* objecte, const QEvent& event);
    void accepta();
    bool intercepta(tipus t, const QEvent& event) const;

    finestra_main& w_;
    std::unique_ptr<temporitzador> espera_;
    int acceptacio_ = 0, ignora_ = 0;
    // The press being held until it is accepted, and where it went.
    std::unique_ptr<QEvent> premsa_;
    QObject* desti_ = nullptr;
    bool acceptada_ = false; // the press held now reached the surface: so will its release
    bool passant_ = false;   // an event we send on is not filtered again
    double darrer_alliberament_ = -1e9;
    interceptor interceptor_;
    observador observador_;
};

} // namespace brisola
