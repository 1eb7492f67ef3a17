#include "temporitzador_qt.h"

#include <sys/timerfd.h>
#include <unistd.h>

#include <cstdint>
#include <stdexcept>
#include <utility>

namespace brisola {

temporitzador_qt::temporitzador_qt(rellotge_qt& rellotge)
    : fd_(timerfd_create(CLOCK_MONOTONIC, TFD_NONBLOCK | TFD_CLOEXEC)), rellotge_(rellotge) {
    if (fd_ < 0) throw std::runtime_error("timerfd_create failed");
    avis_ = std::make_unique<QSocketNotifier>(fd_, QSocketNotifier::Read);
    QObject::connect(avis_.get(), &QSocketNotifier::activated, [this] { venciment(); });
}

temporitzador_qt::~temporitzador_qt() {
    avis_.reset();
    ::close(fd_);
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

namespace {

timespec a_timespec(std::chrono::nanoseconds d) {
    return {time_t(d.count() / 1000000000), long(d.count() % 1000000000)};
}

} // namespace

void temporitzador_qt::aplica() {
    itimerspec periode{};
    if (actiu_ && interval_ > 0) {
        const std::chrono::milliseconds interval(interval_);
        proper_ = (en_tick_ ? tick_ : std::chrono::steady_clock::now()) + interval;
        periode.it_interval = a_timespec(interval);
        periode.it_value = a_timespec(proper_.time_since_epoch());
    }
    // steady_clock is CLOCK_MONOTONIC, so its time points serve as absolute timerfd times.
    timerfd_settime(fd_, TFD_TIMER_ABSTIME, &periode, nullptr);
}

void temporitzador_qt::venciment() {
    // However many periods went by while a handler ran, one tick fires: missed ticks are not queued.
    uint64_t vegades = 0;
    if (::read(fd_, &vegades, sizeof vegades) != sizeof vegades || !actiu_ || interval_ <= 0) return;
    const std::chrono::milliseconds interval(interval_);
    tick_ = proper_ + interval * int64_t(vegades - 1);
    proper_ = tick_ + interval;
    en_tick_ = true;
    auto abans = std::exchange(rellotge_.tick_en_curs_, tick_);
    dispara();
    rellotge_.tick_en_curs_ = abans;
    en_tick_ = false;
}

int64_t rellotge_qt::moment_ns() const {
    auto moment = tick_en_curs_.value_or(std::chrono::steady_clock::now());
    return std::chrono::duration_cast<std::chrono::nanoseconds>(moment.time_since_epoch()).count();
}

} // namespace brisola
