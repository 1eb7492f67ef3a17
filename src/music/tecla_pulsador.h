#pragma once
#include <QKeyEvent>

namespace brisola {

// Whether a key pressed or released can be the switch: never a modifier
// alone, a repeat or a helper's shortcut (Ctrl, Alt, Meta); a release whatever is held with it.
inline bool tecla_de_pulsador(const QKeyEvent& e) {
    const int t = e.key();
    if (e.isAutoRepeat() || t == Qt::Key_Shift || t == Qt::Key_Control || t == Qt::Key_Alt || t == Qt::Key_Meta ||
        t == Qt::Key_AltGr || t == Qt::Key_unknown)
        return false;
    return e.type() == QEvent::KeyRelease || !(e.modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier));
}

} // namespace brisola
