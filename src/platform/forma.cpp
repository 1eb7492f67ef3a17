#include "forma.h"

#include <QPainter>

namespace brisola {

void forma::paintEvent(QPaintEvent*) {
    QPainter pintor(this);
    pintor.setRenderHint(QPainter::Antialiasing);
    int costat = qMin(width(), height()) - 2;
    pintor.setPen(QPen(palette().windowText(), 2));
    pintor.drawEllipse(QRect((width() - costat) / 2, (height() - costat) / 2, costat, costat));
}

} // namespace brisola
