#pragma once
// The ALSA sequencer through RtMidi (its ALSA API only).
#include "ports_alsa.h"

namespace brisola {

class ports_rtmidi : public ports_alsa {
public:
    bool hi_ha_sequenciador() override;
    QStringList ports() override;
    std::unique_ptr<port_alsa> obre(int index) override;
    std::unique_ptr<port_alsa> obre_propi(const QString& nom) override;
};

} // namespace brisola
