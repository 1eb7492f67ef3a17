#include "control_mobil.h"

#include <QPainter>

namespace brisola {

void imatge::paintEvent(QPaintEvent*) {
    if (picture_.isNull()) return;
    QPainter pintor(this);
    pintor.setRenderHint(QPainter::SmoothPixmapTransform);
    pintor.drawPixmap(rect(), picture_);
}

} // namespace brisola
