#pragma once
// A picture box: a background colour, an optional picture stretched over it,
// lines drawn in invert mode, and mouse events in its own units (pixels, or a
// user scale).
#include <QImage>
#include <QWidget>

#include <functional>
#include <optional>

namespace brisola {

class caixa_imatge : public QWidget {
public:
    using event_ratoli = std::function<void(int boto, int shift, float X, float Y)>;

    explicit caixa_imatge(QWidget* pare);
    // A user scale: `amplada` units from the left edge to the right, `alcada` from the top to the bottom.
    void Scale(float amplada, float alcada);
    float ScaleWidth() const { return escala_ ? escala_->width() : float(width()); }
    float ScaleHeight() const { return escala_ ? escala_->height() : float(height()); }
    // A line in invert mode, in the box's units: drawing the same line twice restores the pixels.
    void Line_invert(QPointF a, QPointF b);
    QColor BackColor() const { return fons_; }
    void set_BackColor(QColor color);
    void set_Picture(const QPixmap& picture);
    const QPixmap& Picture() const { return picture_; }

    void on_MouseMove(event_ratoli h) { mou_ = std::move(h); }
    void on_MouseDown(event_ratoli h) { prem_ = std::move(h); }
    void on_MouseUp(event_ratoli h) { deixa_ = std::move(h); }
    // Comes after the release, as a click does.
    void on_Click(std::function<void()> h) { click_ = std::move(h); }

protected:
    void paintEvent(QPaintEvent*) override;
    void resizeEvent(QResizeEvent*) override;
    void mouseMoveEvent(QMouseEvent* e) override;
    void mousePressEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;

private:
    QPointF en_unitats(QPointF pixel) const;
    void envia(const event_ratoli& handler, const QMouseEvent* e) const;

    std::optional<QSizeF> escala_;
    QImage inversions_; // what invert-mode lines left on the box; null while none is drawn
    QColor fons_;
    QPixmap picture_;
    QPixmap escalada_; // picture_ stretched to the surface's size, made at the first repaint after a change
    event_ratoli mou_, prem_, deixa_;
    std::function<void()> click_;
};

} // namespace brisola
