#pragma once
// Between the pointer and the surface, for a person whose reach or hand needs
// it: positions are smoothed (on a clock of its own, about 100 Hz, since the
// pointer timers slow down and stop when nothing moves) and the person's reach
// is spread over the whole surface. The mouse is met at the surface's events,
// the joystick and the tracker at their services, so the window's own
// handlers read the adjusted positions. With the whole surface and no
// smoothing every position passes as it came.
#include "persones/abast.h"
#include "persones/suavitzat.h"
#include "platform/joystick_sistema.h"
#include "platform/tintseer_biblioteca.h"

#include <QObject>
#include <QPointF>
#include <QPointer>

#include <array>
#include <memory>
#include <optional>
#include <utility>

class QMouseEvent;

namespace brisola {

class finestra_main;
class rellotge;
class temporitzador;

class etapa_punter : public QObject {
public:
    static constexpr int periode_ms = 10;

    etapa_punter(rellotge& temps, joystick_sistema& joystick, tintseer_biblioteca& tintseer);
    ~etapa_punter() override;

    // What the window is handed in place of the real services.
    joystick_sistema& joystick() { return joystick_; }
    tintseer_biblioteca& tintseer() { return tintseer_; }
    // Meets the mouse at the window's surface.
    void enganxa(finestra_main& w);

    void set_abast(const caixa_abast& caixa);
    const caixa_abast& abast() const { return abast_; }
    void set_suavitzat(const parametres_suavitzat& p);
    const parametres_suavitzat& suavitzat() const { return suau_.parametres(); }

    // Where the access method chosen now points, as a fraction of its own
    // range, before any adjustment; none when it points nowhere.
    std::optional<std::array<double, 2>> cru() const;

protected:
    bool eventFilter(QObject* objecte, QEvent* event) override;

private:
    class joystick_ajustat : public joystick_sistema {
    public:
        joystick_ajustat(etapa_punter& etapa, joystick_sistema& real);
        uint32_t joyGetPos(uint32_t numero, JOYINFO& lectura) override;
        etapa_punter& etapa_;
        joystick_sistema& real_;
        std::optional<JOYINFO> suau_; // the smoothed reading, while smoothing
    };
    class tintseer_ajustat : public tintseer_biblioteca {
    public:
        tintseer_ajustat(etapa_punter& etapa, tintseer_biblioteca& real) : etapa_(etapa), real_(real) {}
        bool carregada() override { return real_.carregada(); }
        int16_t TintseerInicialitza(int32_t seleccio) override { return real_.TintseerInicialitza(seleccio); }
        void TintseerObtenirPosicio(int16_t& vertical, int16_t& horitzontal) override;
        void TintseerFinalitza() override { real_.TintseerFinalitza(); }
        // The real place, or none when it writes nothing (not seen).
        std::optional<std::array<double, 2>> llegeix_real() const;
        etapa_punter& etapa_;
        tintseer_biblioteca& real_;
        std::optional<std::pair<int16_t, int16_t>> suau_; // the smoothed place (vertical, horizontal), while seen
    };

    bool actiu() const { return !abast_.sencera() || suau_.actiu(); }
    void tic();
    void tic_joystick();
    void tic_tintseer();
    void reinicia_suau();
    bool suavitza_tintseer() const;
    void mou_ratoli(const std::array<double, 2>& fraccio);
    bool cal_rellotge() const;
    void rellotge_segons_cal();
    // A fraction of an input's range, mapped onto the person's reach.
    std::array<double, 2> ajusta(double x, double y) const { return aplica_abast(abast_, x, y); }
    std::array<double, 2> suavitza(double x, double y);

    rellotge& temps_;
    std::unique_ptr<temporitzador> rellotge_;
    double darrer_tic_ = 0;
    joystick_ajustat joystick_;
    tintseer_ajustat tintseer_;
    finestra_main* w_ = nullptr;
    QPointer<QObject> pantalla_;
    caixa_abast abast_;
    suavitzador suau_;
    // The mouse: its last place on the surface as a fraction, and the buttons held.
    std::optional<std::array<double, 2>> ratoli_;
    std::array<double, 2> ratoli_enviat_{-1, -1};
    Qt::MouseButtons botons_;
    bool passant_ = false; // an event we send on is not filtered again
};

} // namespace brisola
