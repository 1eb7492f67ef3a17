#pragma once
// The ALSA sequencer's output side: the ports of other programs and devices,
// and a port of the instrument's own that others subscribe to.
#include <QStringList>

#include <cstdint>
#include <memory>
#include <vector>

namespace brisola {

class port_alsa {
public:
    virtual ~port_alsa() = default;
    // False when the message could not be sent.
    virtual bool envia(const std::vector<uint8_t>& missatge) = 0;
};

class ports_alsa {
public:
    virtual ~ports_alsa() = default;
    // Whether the machine has a sequencer at all (no /dev/snd/seq: none).
    virtual bool hi_ha_sequenciador() = 0;
    virtual QStringList ports() = 0;
    // Null when that port cannot be opened.
    virtual std::unique_ptr<port_alsa> obre(int index) = 0;
    virtual std::unique_ptr<port_alsa> obre_propi(const QString& nom) = 0;
};

} // namespace brisola
