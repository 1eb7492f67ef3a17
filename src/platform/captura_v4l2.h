#pragma once
// Capture drivers over V4L2: driver i is /dev/video<i> when it captures video,
// unless the tracker's settings name a video to read instead: then that video
// is the one driver. A "capture window" holds the open device while it is connected.
#include "captura_sistema.h"

#include <map>

namespace brisola {

class captura_v4l2 : public captura_sistema {
public:
    ~captura_v4l2() override;
    bool capGetDriverDescriptionA(int16_t index, QString& nom, QString& versio) override;
    HWND_CAPTURA capCreateCaptureWindowA(uintptr_t pare) override;
    bool connecta(HWND_CAPTURA finestra, int16_t index) override;
    bool desconnecta(HWND_CAPTURA finestra) override;
    bool capacitats(HWND_CAPTURA finestra, CAPDRIVERCAPS& caps) override;
    void DestroyWindow(HWND_CAPTURA finestra) override;

private:
    struct connexio {
        int fd = -1;
        int16_t index = -1;
    };
    std::map<HWND_CAPTURA, connexio> finestres_;
    HWND_CAPTURA seguent_ = 1;
};

} // namespace brisola
