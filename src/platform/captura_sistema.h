#pragma once
// The system's video-capture drivers 0..8, as far as the webcam probe needs them:
// a driver's description, a capture window, and connecting it to a driver.
#include <QString>

#include <cstdint>

namespace brisola {

using HWND_CAPTURA = uintptr_t;

struct CAPDRIVERCAPS {
    uint32_t wDeviceIndex = 0;
    bool fHasOverlay = false;
};

class captura_sistema {
public:
    virtual ~captura_sistema() = default;
    virtual bool capGetDriverDescriptionA(int16_t index, QString& nom, QString& versio) = 0;
    virtual HWND_CAPTURA capCreateCaptureWindowA(uintptr_t pare) = 0;
    virtual bool connecta(HWND_CAPTURA finestra, int16_t index) = 0;
    virtual bool desconnecta(HWND_CAPTURA finestra) = 0;
    virtual bool capacitats(HWND_CAPTURA finestra, CAPDRIVERCAPS& caps) = 0;
    virtual void DestroyWindow(HWND_CAPTURA finestra) = 0;
};

} // namespace brisola
