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

void caixa_imatge::Scale(float amplada, float alcada) { escala_ = QSizeF(amplada, alcada); }

QPointF caixa_imatge::en_unitats(QPointF pixel) const {
    return {pixel.x() * ScaleWidth() / std::max(1, width()), pixel.y() * ScaleHeight() / std::max(1, height())};
}

void caixa_imatge::Line_invert(QPointF a, QPointF b) {
    if (inversions_.isNull()) {
        inversions_ = QImage(size(), QImage::Format_RGB32);
        inversions_.fill(fons_);
    }
    auto a_pixels = [this](QPointF p) {
        return QPointF(p.x() * width() / ScaleWidth(), p.y() * height() / ScaleHeight());
    };
    QPainter pintor(&inversions_);
    // XOR with white inverts whatever is there, whatever the line's own colour.
    pintor.setCompositionMode(QPainter::RasterOp_SourceXorDestination);
    pintor.setPen(QPen(Qt::white, 0));
    pintor.drawLine(a_pixels(a).toPoint(), a_pixels(b).toPoint());
    update();
}

void caixa_imatge::resizeEvent(QResizeEvent*) { inversions_ = QImage(); }

void caixa_imatge::set_BackColor(QColor color) {
    fons_ = color;
    inversions_ = QImage();
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
    if (!inversions_.isNull()) return pintor.drawImage(event->rect(), inversions_, event->rect());
    pintor.fillRect(event->rect(), fons_);
    if (picture_.isNull()) return;
    if (escalada_.size() != size())
        escalada_ = picture_.scaled(size(), Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    pintor.drawPixmap(event->rect(), escalada_, event->rect());
}

void caixa_imatge::envia(const event_ratoli& handler, const QMouseEvent* e) const {
    if (!handler) return;
    QPointF p = en_unitats(e->position());
    handler(boto_de(e), shift_de(e), float(p.x()), float(p.y()));
}

void caixa_imatge::mouseMoveEvent(QMouseEvent* e) { envia(mou_, e); }

void caixa_imatge::mousePressEvent(QMouseEvent* e) { envia(prem_, e); }

void caixa_imatge::mouseReleaseEvent(QMouseEvent* e) {
    envia(deixa_, e);
    if (click_ && rect().contains(e->position().toPoint())) click_();
}

} // namespace brisola
