#pragma once
// A picture box in pixel scale: a background colour, an optional picture
// stretched over it, and mouse events in its own units.
#include <QWidget>

#include <functional>

namespace brisola {

class caixa_imatge : public QWidget {
public:
    using event_ratoli = std::function<void(int boto, int shift, float X, float Y)>;

    explicit caixa_imatge(QWidget* pare);
    float ScaleWidth() const { return float(width()); }
    float ScaleHeight() const { return float(height()); }
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
    void mouseMoveEvent(QMouseEvent* e) override;
    void mousePressEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;

private:
    QColor fons_;
    QPixmap picture_;
    QPixmap escalada_; // picture_ stretched to the surface's size, made at the first repaint after a change
    event_ratoli mou_, prem_, deixa_;
    std::function<void()> click_;
};

} // namespace brisola
