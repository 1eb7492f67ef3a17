#include "caixa_imatge.h"

#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>

namespace brisola {

namespace {

int shift_de(const QMouseEvent* e) {
    auto m = e->modifiers();
    return (m & Qt::ShiftModifier ? 1 : 0) | (m & Qt::ControlModifier ? 2 : 0) | (m & Qt::AltModifier ? 4 : 0);
}

int boto_de(const QMouseEvent* e) {
    auto b = e->button() == Qt::NoButton ? e->buttons() : Qt::MouseButtons(e->button());
    return (b & Qt::LeftButton ? 1 : 0) | (b & Qt::RightButton ? 2 : 0) | (b & Qt::MiddleButton ? 4 : 0);
}

} // namespace

caixa_imatge::caixa_imatge(QWidget* pare) : QWidget(pare) { setMouseTracking(true); }

void caixa_imatge::set_BackColor(QColor color) {
    fons_ = color;
    update();
}

void caixa_imatge::set_Picture(const QPixmap& picture) {
    picture_ = picture;
    escalada_ = QPixmap();
    update();
}

// The cursor moves every few milliseconds over the picture: repaints copy a
// picture stretched once for the current size instead of stretching it anew.
void caixa_imatge::paintEvent(QPaintEvent* event) {
    QPainter pintor(this);
    pintor.fillRect(event->rect(), fons_);
    if (picture_.isNull()) return;
    if (escalada_.size() != size())
        escalada_ = picture_.scaled(size(), Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    pintor.drawPixmap(event->rect(), escalada_, event->rect());
}

void caixa_imatge::mouseMoveEvent(QMouseEvent* e) {
    if (mou_) mou_(boto_de(e), shift_de(e), float(e->position().x()), float(e->position().y()));
}

void caixa_imatge::mousePressEvent(QMouseEvent* e) {
    if (prem_) prem_(boto_de(e), shift_de(e), float(e->position().x()), float(e->position().y()));
}

void caixa_imatge::mouseReleaseEvent(QMouseEvent* e) {
    if (deixa_) deixa_(boto_de(e), shift_de(e), float(e->position().x()), float(e->position().y()));
    if (click_ && rect().contains(e->position().toPoint())) click_();
}

} // namespace brisola
