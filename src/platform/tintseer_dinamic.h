#pragma once
// libtintseer.so from the program's folder, through its three C functions.
// It is loaded on first use: its video libraries take longer to load than the
// rest of start-up, and without a camera it is never needed.
#include "tintseer_biblioteca.h"

#include <QLibrary>
#include <QString>

namespace brisola {

class tintseer_dinamic : public tintseer_biblioteca {
public:
    explicit tintseer_dinamic(const QString& directori);
    bool carregada() override;
    int16_t TintseerInicialitza(int32_t seleccio) override;
    void TintseerObtenirPosicio(int16_t& vertical, int16_t& horitzontal) override;
    void TintseerFinalitza() override;

private:
    QLibrary biblioteca_;
    bool intentada_ = false;
    int16_t (*inicialitza_)(int32_t) = nullptr;
    int32_t (*posicio_)(int16_t*, int16_t*) = nullptr;
    int32_t (*finalitza_)() = nullptr;
};

} // namespace brisola
