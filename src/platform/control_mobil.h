#pragma once
// A control drawn on the surface at a position kept in surface units as real
// numbers: the dispatcher reads back where it drew the cursor, and a position
// rounded to pixels would read as movement.
#include <QWidget>

namespace brisola {

class control_mobil : public QWidget {
public:
    explicit control_mobil(QWidget* pare) : QWidget(pare) { setAttribute(Qt::WA_TransparentForMouseEvents); }
    float Left() const { return left_; }
    float Top() const { return top_; }
    void Move(float left, float top) {
        left_ = left;
        top_ = top;
        move(qRound(left), qRound(top));
    }

private:
    float left_ = 0, top_ = 0;
};

// An image control: its picture stretched to its size.
class imatge : public control_mobil {
public:
    using control_mobil::control_mobil;
    void set_Picture(const QPixmap& picture) {
        picture_ = picture;
        update();
    }
    const QPixmap& Picture() const { return picture_; }

protected:
    void paintEvent(QPaintEvent*) override;

private:
    QPixmap picture_;
};

} // namespace brisola
