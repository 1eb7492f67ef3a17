#pragma once
// The board of choices: large tiles over the surface that reach the menus'
// choices with the one input a person plays with. A switch user holds the
// switch to open it and presses when the highlight, moving by itself, is on
// the choice (or moves it with a second key); a pointer user rests on a small
// button in a corner, then on a tile. The helper opens it from the Persona
// menu (Ctrl+G). Music stops while it is open.
#include "tauler/navegacio.h"
#include "tauler/repos.h"

#include <QWidget>

#include <array>
#include <functional>
#include <memory>
#include <optional>

class QMenu;

namespace brisola {

class ajustos_persona;
class caixes_tauler;
class finestra_main;
class parla_sistema;
class temporitzador;

class tauler : public QWidget {
public:
    struct fonts {
        QMenu* persones = nullptr;              // the Persona menu, whose people the board offers
        std::function<int()> instrument;        // the instrument item last chosen (0: none)
        parla_sistema* parla = nullptr;         // none: the board never speaks
        caixes_tauler* caixes = nullptr;        // none: a choice's boxes show as boxes
    };
    static constexpr int mirada_ms = 50;

    tauler(finestra_main& w, ajustos_persona& ajustos, fonts f);
    ~tauler() override;

    void obre();
    void tanca();
    bool obert() const { return nav_.has_value(); }
    // The person's settings changed: the button and the clocks follow.
    void actualitza();

    // What the board shows now (a test's and an accessibility tool's look).
    const std::vector<rajola>& rajoles() const;
    int ressaltada() const;
    std::vector<QRectF> llocs() const;
    QString missatge() const { return missatge_; }

protected:
    void paintEvent(QPaintEvent* event) override;
    bool eventFilter(QObject* objecte, QEvent* event) override;

private:
    bool escombrant() const;
    bool amb_boto() const;
    QRectF boto() const;
    std::vector<rajola> construeix() const;
    std::array<temporitzador*, 5> timers_de_musica() const;
    void atura_musica();
    void represa();
    bool intercepta(bool premsa, int tecla);
    void pas_escombrat();
    void mira();
    void tria(int index);
    void executa(const rajola& r);
    bool mostra(const QString& text);
    void anuncia();
    std::optional<QPointF> punter();

    finestra_main& w_;
    ajustos_persona& ajustos_;
    fonts fonts_;
    std::unique_ptr<temporitzador> escombrat_, mirada_, premuda_;
    std::optional<navegacio> nav_;
    repos repos_;
    QString missatge_;           // a box's text shown as the only tile
    bool menja_alliberament_ = false; // the switch's next release belongs to the board, not the instrument
    bool premut_ = false;             // the switch is down
    bool ratoli_fora_ = false;        // the mouse left the surface
    double alliberat_a_ = -1;         // when it was last let go
    bool veu_absent_dita_ = false;
    std::vector<bool> timers_actius_;
    std::optional<QPointF> punter_vist_;
    // The tracker's last reading and when it changed: a reading that does not change is a lost object held.
    std::pair<int, int> lectura_seguidor_{-1, -1};
    double canvi_seguidor_ = 0;
    double darrera_mirada_ = 0;
};

} // namespace brisola
