#pragma once
#include "temporitzador.h"

#include <QTimer>

#include <chrono>

namespace brisola {

class temporitzador_qt : public temporitzador {
public:
    temporitzador_qt();
    void set_Enabled(bool actiu) override;
    bool Enabled() const override { return actiu_; }
    void set_Interval(int ms) override;
    int Interval() const override { return interval_; }

private:
    void aplica();
    QTimer timer_;
    bool actiu_ = false;
    int interval_ = 0;
};

class rellotge_qt : public rellotge {
public:
    std::unique_ptr<temporitzador> crea() override { return std::make_unique<temporitzador_qt>(); }
    double segons() const override {
        return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count();
    }
};

} // namespace brisola
