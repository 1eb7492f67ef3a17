#include "desvetlla_amb_l_entrada.h"

#include <QEvent>

namespace brisola {

bool desvetlla_amb_l_entrada::eventFilter(QObject* objecte, QEvent* event) {
    switch (event->type()) {
    case QEvent::MouseMove:
    case QEvent::MouseButtonPress:
    case QEvent::KeyPress:
    case QEvent::TouchBegin:
    case QEvent::TabletPress: desperta_(); break;
    default: break;
    }
    return QObject::eventFilter(objecte, event);
}

} // namespace brisola
