#include "desvetlla_amb_l_entrada.h"

#include <QKeyEvent>

namespace brisola {

bool desvetlla_amb_l_entrada::eventFilter(QObject* objecte, QEvent* event) {
    switch (event->type()) {
    case QEvent::KeyPress: // a key held is one press: its repeats would keep a silent output awake
        if (!static_cast<QKeyEvent*>(event)->isAutoRepeat()) desperta_();
        break;
    case QEvent::MouseMove:
    case QEvent::MouseButtonPress:
    case QEvent::TouchBegin:
    case QEvent::TabletPress: desperta_(); break;
    default: break;
    }
    return QObject::eventFilter(objecte, event);
}

} // namespace brisola
