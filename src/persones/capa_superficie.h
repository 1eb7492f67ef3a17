#pragma once
// Drawn over the performance surface for a person who needs to see more: a
// high-contrast ring around the cursor (light and dark edges, seen on any
// colour or picture), the grid of columns and rows that "Escala i temps" and
// "Bateria" play, and the reach while it is being measured. It takes no mouse
// event: the surface under it plays as ever.
#include "persones/abast.h"

#include <QWidget>

#include <memory>
#include <optional>

namespace brisola {

class finestra_main;
class temporitzador;

class capa_superficie : public QWidget {
public:
    explicit capa_superficie(finestra_main& w);
    ~capa_superficie() override;

    // The ring's size as a share (percent) of the surface's height; 0: none.
    void set_cursor_contrast(int percent);
    void set_graella(bool visible);
    // The reach measured so far, on the surface as the pointer shows it, and the seconds left; none: not measuring.
    void set_mesura(std::optional<caixa_abast> abast, int segons);

    // The columns of the grid the modality plays now (0: no grid).
    int columnes() const;

protected:
    void paintEvent(QPaintEvent* event) override;
    bool eventFilter(QObject* objecte, QEvent* event) override;

private:
    void mira();
    // Everything drawn again.
    void actualitza();
    void actualitza_rellotge();
    QRectF anell() const;

    finestra_main& w_;
    std::unique_ptr<temporitzador> mirada_;
    int cursor_contrast_ = 0;
    bool graella_ = false;
    bool mesurant_ = false;
    std::optional<caixa_abast> mesura_;
    int segons_ = 0;
    // What was last asked to be painted, so that a look that finds it the same paints nothing.
    QRectF anell_vist_;
    int columnes_vistes_ = 0;
};

} // namespace brisola
