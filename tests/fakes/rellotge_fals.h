#pragma once
// A clock the test moves by hand; its timers fire in time order as it moves.
#include "platform/temporitzador.h"

#include <algorithm>
#include <climits>
#include <vector>

namespace brisola {

class rellotge_fals : public rellotge {
public:
    class timer_fals : public temporitzador {
    public:
        explicit timer_fals(rellotge_fals& r) : r_(r) { r_.timers_.push_back(this); }
        ~timer_fals() override { std::erase(r_.timers_, this); }
        void set_Enabled(bool actiu) override {
            if (actiu == actiu_) return;
            actiu_ = actiu;
            reprograma();
        }
        bool Enabled() const override { return actiu_; }
        void set_Interval(int ms) override {
            interval_ = ms;
            reprograma();
        }
        int Interval() const override { return interval_; }
        bool en_marxa() const { return proper_ >= 0; }

    private:
        friend class rellotge_fals;
        void reprograma() { proper_ = actiu_ && interval_ > 0 ? r_.ara_ + interval_ : -1; }
        rellotge_fals& r_;
        bool actiu_ = false;
        int interval_ = 0;
        long proper_ = -1;
    };

    std::unique_ptr<temporitzador> crea() override { return std::make_unique<timer_fals>(*this); }

    void avanca(long ms) {
        const long fi = ara_ + ms;
        for (;;) {
            auto it = std::min_element(timers_.begin(), timers_.end(), [](auto* a, auto* b) {
                return (a->proper_ < 0 ? LONG_MAX : a->proper_) < (b->proper_ < 0 ? LONG_MAX : b->proper_);
            });
            if (it == timers_.end() || (*it)->proper_ < 0 || (*it)->proper_ > fi) break;
            timer_fals* t = *it;
            ara_ = t->proper_;
            t->proper_ = ara_ + t->interval_;
            t->dispara();
        }
        ara_ = fi;
    }
    // Time passes but nothing is handled: ticks that fell due meanwhile come once, at the next avanca.
    void espera(int ms) override {
        ara_ += ms;
        for (timer_fals* t : timers_)
            if (t->proper_ >= 0 && t->proper_ < ara_) t->proper_ = ara_;
    }
    long ara() const { return ara_; }
    double segons() const override { return ara_ / 1000.0; }

private:
    std::vector<timer_fals*> timers_;
    long ara_ = 0;
};

} // namespace brisola
