#pragma once
#include "temporitzador.h"

#include <QSocketNotifier>

#include <chrono>
#include <memory>
#include <optional>
#include <thread>

namespace brisola {

// A timer on the window's event loop, woken by a Linux timerfd: the event
// loop's own timers wake on whole-millisecond poll timeouts, which smears a
// drum pattern by up to a millisecond a step. A new interval set inside the
// timer's own tick counts from the moment the tick was due, not from when the
// handler got to run, so step lengths do not gather the wake-up delay.
class rellotge_qt;

class temporitzador_qt : public temporitzador {
public:
    explicit temporitzador_qt(rellotge_qt& rellotge);
    ~temporitzador_qt() override;
    void set_Enabled(bool actiu) override;
    bool Enabled() const override { return actiu_; }
    void set_Interval(int ms) override;
    int Interval() const override { return interval_; }

private:
    using instant = std::chrono::steady_clock::time_point;
    void aplica();
    void venciment();
    int fd_ = -1;
    instant proper_{};     // when the armed timer is next due
    bool en_tick_ = false; // inside this timer's own handler
    instant tick_{};       // when the running tick was due
    std::unique_ptr<QSocketNotifier> avis_;
    rellotge_qt& rellotge_;
    bool actiu_ = false;
    int interval_ = 0;
};

class rellotge_qt : public rellotge {
public:
    std::unique_ptr<temporitzador> crea() override { return std::make_unique<temporitzador_qt>(*this); }
    double segons() const override {
        return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count();
    }
    void espera(int ms) override { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); }
    // The time what is being done belongs to: a running tick's due time, so its
    // sounds keep the timer's time whatever its wake-up delay; else now.
    int64_t moment_ns() const;

private:
    friend class temporitzador_qt;
    std::optional<std::chrono::steady_clock::time_point> tick_en_curs_;
};

} // namespace brisola
