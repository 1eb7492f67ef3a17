#pragma once
// The board of choices: large tiles over the surface that reach the menus'
// choices with the one input a person plays with. A switch user holds the
// switch to open it and presses when the highlight, moving by itself, is on
// the choice (or moves it with a second key); a pointer user rests on a small
// button in a corner, then on a tile. The helper opens and closes it from the
// Persona menu (Ctrl+G), and closes it with Escape. Music stops while it is open.
#include "tauler/navegacio.h"
#include "tauler/pulsador_tauler.h"
#include "tauler/punter_tauler.h"

#include <QFont>
#include <QWidget>

#include <array>
#include <functional>
#include <optional>

class QMenu;

namespace brisola {

class ajustos_persona;
class caixes_tauler;
class finestra_main;
class parla_sistema;

class tauler : public QWidget, private tauler_escombrat {
public:
    struct fonts {
        QMenu* persones = nullptr;              // the Persona menu, whose people the board offers
        std::function<int()> instrument;        // the instrument item last chosen (0: none)
        parla_sistema* parla = nullptr;         // none: the board never speaks
        caixes_tauler* caixes = nullptr;        // none: a choice's boxes show as boxes
    };

    tauler(finestra_main& w, ajustos_persona& ajustos, fonts f);
    ~tauler() override;

    void obre() override;
    void tanca();
    void commuta() { obert() ? tanca() : obre(); }
    bool obert() const override { return nav_.has_value(); }
    // A tile's choice is running (the board has closed for it): what it changes was chosen on the board.
    bool triant() const { return triant_; }
    // The person's settings or the access method changed: the button and the clocks follow.
    void actualitza();

    // What the board shows now (a test's and an accessibility tool's look).
    const std::vector<rajola>& rajoles() const;
    int ressaltada() const;
    std::vector<QRectF> llocs() const;
    QString missatge() const { return missatge_; }
    // A line below the tiles while the highlight waits for the "next" key (empty otherwise).
    QString indicacio() const;
    // A tile's caption as drawn, with its marks, and where it is drawn.
    QString text(size_t i) const;
    QRectF lloc_del_text(size_t i) const;
    // The lettering of a tile's caption: as large as reads from afar, and small enough to fit.
    QFont lletra(size_t i) const;

protected:
    void paintEvent(QPaintEvent* event) override;
    bool eventFilter(QObject* objecte, QEvent* event) override;

private:
    bool escombrant() const;
    bool amb_boto() const;
    QRectF boto() const;
    QRectF lloc_de_la_indicacio() const;
    QFont lletra_de_la_indicacio() const;
    punter_tauler::vista vista() const;
    std::array<temporitzador*, 5> timers_de_musica() const;
    void atura_musica();
    void represa();
    void avanca() override;
    void seguent() override;
    void prem() override;
    bool premsa_en_espera() const override;
    void triat(int index);
    void tria(int index);
    void mostra_rajoles();
    void llegit();
    void executa(const rajola& r);
    bool mostra(const QString& text);
    void anuncia();
    void dibuixa_boto(QPainter& p) const;
    void dibuixa_punter(QPainter& p) const;

    finestra_main& w_;
    ajustos_persona& ajustos_;
    fonts fonts_;
    std::optional<navegacio> nav_;
    pulsador_tauler pulsador_;
    punter_tauler punter_;
    QString missatge_; // a box's text shown as the only tile
    bool triant_ = false;
    bool obert_per_avis_ = false; // closes once its box is read
    int premsa_abans_de_l_avis_ = -1; // the press that waited when the box showed (-1: none)
    bool veu_absent_dita_ = false;
    std::vector<bool> timers_actius_;
};

} // namespace brisola
