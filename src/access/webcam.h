#pragma once
// The webcam probe: whether any capture driver 0..8 connects.
#include "app/estat.h"

namespace brisola {

class webcam {
public:
    webcam(estat_compartit& estat, captura_sistema& sistema) : estat_(estat), sistema_(sistema) {}
    // 1 when a driver connected (it stays connected until webcam_allibera), else 0.
    int32_t webcam_detecta(uintptr_t pare);
    void webcam_allibera();

    bool cap_connecta(HWND_CAPTURA finestra, int16_t index) { return sistema_.connecta(finestra, index); }
    bool cap_desconnecta(HWND_CAPTURA finestra) { return sistema_.desconnecta(finestra); }
    bool cap_capacitats(HWND_CAPTURA finestra, CAPDRIVERCAPS& caps) { return sistema_.capacitats(finestra, caps); }

private:
    void destrueix_finestra();
    estat_compartit& estat_;
    captura_sistema& sistema_;
    CAPDRIVERCAPS capacitats_;
};

} // namespace brisola
