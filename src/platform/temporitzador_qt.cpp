#include "temporitzador_qt.h"

namespace brisola {

temporitzador_qt::temporitzador_qt() {
    // Pattern timers play music: coarse timers would smear the beat by up to 5%.
    timer_.setTimerType(Qt::PreciseTimer);
    QObject::connect(&timer_, &QTimer::timeout, [this] { dispara(); });
}

void temporitzador_qt::set_Enabled(bool actiu) {
    if (actiu == actiu_) return;
    actiu_ = actiu;
    aplica();
}

void temporitzador_qt::set_Interval(int ms) {
    interval_ = ms;
    aplica();
}

void temporitzador_qt::aplica() {
    if (actiu_ && interval_ > 0) timer_.start(interval_);
    else timer_.stop();
}

} // namespace brisola
