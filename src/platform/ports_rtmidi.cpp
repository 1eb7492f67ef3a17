#include "ports_rtmidi.h"

#include <rtmidi/RtMidi.h>

namespace brisola {

namespace {

// Without an ALSA sequencer (no /dev/snd/seq) RtMidi throws: then there are no ports.
std::unique_ptr<RtMidiOut> client_alsa() {
    try {
        return std::make_unique<RtMidiOut>(RtMidi::LINUX_ALSA, "Brisola");
    } catch (const RtMidiError&) {
        return nullptr;
    }
}

class port_rtmidi : public port_alsa {
public:
    explicit port_rtmidi(std::unique_ptr<RtMidiOut> sortida) : sortida_(std::move(sortida)) {}
    bool envia(const std::vector<uint8_t>& missatge) override {
        try {
            sortida_->sendMessage(&missatge);
            return true;
        } catch (const RtMidiError&) {
            return false;
        }
    }

private:
    std::unique_ptr<RtMidiOut> sortida_;
};

} // namespace

bool ports_rtmidi::hi_ha_sequenciador() { return client_alsa() != nullptr; }

QStringList ports_rtmidi::ports() {
    QStringList noms;
    if (auto alsa = client_alsa()) {
        try {
            for (unsigned i = 0; i < alsa->getPortCount(); ++i) noms << QString::fromStdString(alsa->getPortName(i));
        } catch (const RtMidiError&) {
            noms.clear();
        }
    }
    return noms;
}

std::unique_ptr<port_alsa> ports_rtmidi::obre(int index) {
    auto alsa = client_alsa();
    if (!alsa) return nullptr;
    try {
        alsa->openPort(unsigned(index), "Brisola");
    } catch (const RtMidiError&) {
        return nullptr;
    }
    return std::make_unique<port_rtmidi>(std::move(alsa));
}

std::unique_ptr<port_alsa> ports_rtmidi::obre_propi(const QString& nom) {
    auto alsa = client_alsa();
    if (!alsa) return nullptr;
    try {
        alsa->openVirtualPort(nom.toStdString());
    } catch (const RtMidiError&) {
        return nullptr;
    }
    return std::make_unique<port_rtmidi>(std::move(alsa));
}

} // namespace brisola
