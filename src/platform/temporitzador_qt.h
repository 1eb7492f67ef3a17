#pragma once
#include "temporitzador.h"

#include <QTimer>

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

class fabrica_temporitzadors_qt : public fabrica_temporitzadors {
public:
    std::unique_ptr<temporitzador> crea() override { return std::make_unique<temporitzador_qt>(); }
};

} // namespace brisola
