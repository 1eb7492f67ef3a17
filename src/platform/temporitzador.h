#pragma once
// Timers with the window toolkit's rules: a timer ticks every `Interval` ms
// while it is enabled and its interval is above 0 (0 means silent, never a
// zero-delay timer); setting the interval restarts the period; missed ticks
// are not queued.
#include <functional>
#include <memory>

namespace brisola {

class temporitzador {
public:
    virtual ~temporitzador() = default;
    virtual void set_Enabled(bool actiu) = 0;
    virtual bool Enabled() const = 0;
    virtual void set_Interval(int ms) = 0;
    virtual int Interval() const = 0;
    void on_tick(std::function<void()> handler) { handler_ = std::move(handler); }

protected:
    void dispara() const {
        if (handler_) handler_();
    }

private:
    std::function<void()> handler_;
};

// The clock: makes the timers and tells the time, in seconds on a steady scale.
class rellotge {
public:
    virtual ~rellotge() = default;
    virtual std::unique_ptr<temporitzador> crea() = 0;
    virtual double segons() const = 0;
    // Holds the calling thread for `ms` on a monotonic clock, handling no event.
    virtual void espera(int ms) = 0;
};

} // namespace brisola
