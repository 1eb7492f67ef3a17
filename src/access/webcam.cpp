#include "webcam.h"

namespace brisola {

int32_t webcam::webcam_detecta(uintptr_t pare) {
    QString nom, versio;
    for (int16_t index = 0; index <= 8; ++index) {
        if (!sistema_.capGetDriverDescriptionA(index, nom, versio)) continue;
        if (estat_.captura_finestra == 0) estat_.captura_finestra = sistema_.capCreateCaptureWindowA(pare);
        if (cap_connecta(estat_.captura_finestra, index)) {
            cap_capacitats(estat_.captura_finestra, capacitats_);
            return 1;
        }
    }
    destrueix_finestra();
    return 0;
}

void webcam::webcam_allibera() {
    cap_desconnecta(estat_.captura_finestra);
    destrueix_finestra();
}

void webcam::destrueix_finestra() {
    if (estat_.captura_finestra == 0) return;
    sistema_.DestroyWindow(estat_.captura_finestra);
    estat_.captura_finestra = 0;
}

} // namespace brisola
