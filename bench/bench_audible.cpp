// What a person hears: the real drum timer driving the real built-in synthesizer
// through the program's own audio path, called on a sound card's clock (one
// period every 128/48000 s on absolute deadlines of the monotonic clock); the
// onsets found in what it rendered give the audible step lengths, and notes sent
// at random moments give the time from a note-on to its sound.
#include "../tests/fakes/banc.h"
#include "mesura.h"
#include "platform/media_interpret.h"
#include "platform/midi_sistema_linux.h"
#include "platform/sintetitzador.h"
#include "platform/temporitzador_qt.h"

#include <QApplication>

#include <atomic>
#include <cmath>
#include <cstdio>
#include <random>
#include <thread>
#include <time.h>
#include <vector>

using namespace brisola;

namespace {

constexpr int freq = 48000, periode = 128;

// The sound card: a period every 128 frames' time, on absolute deadlines; all it rendered, in order.
class targeta {
public:
    targeta(sintetitzador& synth, media_interpret& media) {
        inici_ = ara_ns();
        fil_ = std::thread([this, &synth, &media] {
            std::vector<float> bloc(2 * periode);
            for (int64_t j = 0; !atura_; ++j) {
                int64_t termini = inici_ + j * periode * 1000000000LL / freq;
                timespec t{time_t(termini / 1000000000), long(termini % 1000000000)};
                clock_nanosleep(CLOCK_MONOTONIC, TIMER_ABSTIME, &t, nullptr);
                synth.render(bloc.data(), periode);
                media.mescla(bloc.data(), periode);
                for (int f = 0; f < periode; ++f) mono_.push_back(0.5f * (bloc[2 * f] + bloc[2 * f + 1]));
            }
        });
    }
    ~targeta() { atura(); }
    void atura() {
        atura_ = true;
        if (fil_.joinable()) fil_.join();
    }
    // When frame k is heard: its period's deadline, one period in the device's buffer, then its place in the period.
    int64_t sona_ns(long k) const { return inici_ + ((k / periode + 1) * periode + k % periode) * 1000000000LL / freq; }
    const std::vector<float>& mono() const { return mono_; }

private:
    int64_t inici_;
    std::atomic<bool> atura_{false};
    std::thread fil_;
    std::vector<float> mono_;
};

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    rellotge_qt rellotge;
    sintetitzador synth(freq, [&rellotge] { return rellotge.moment_ns(); });
    if (!synth.carrega(sintetitzador::troba_soundfont())) {
        std::fprintf(stderr, "No General MIDI soundfont: install fluid-soundfont-gm.\n");
        return 1;
    }
    synth.set_periode(periode);
    media_interpret media(synth, freq);
    alsa_fals alsa;
        midi_sistema_linux midi(synth, alsa);
    banc b;
    serveis s{midi, b.caixes, b.dialeg, rellotge, b.joystick, b.captura, b.tintseer, b.media, b.llancador, b.dir.path(), b.dir.path(), [] {}};
    finestra_main w(s);

    for (const char* pas : {"1C", "18"}) {
        targeta card(synth, media);
        w.estat.patro_bateria = QString(pas) + "75"; // claves: short and sharp
        w.t_ritmes->set_Interval(w.estat.tempo);
        w.t_ritmes->set_Enabled(true);
        const int32_t previst = int32_t(std::lround(w.estat.tempo * 4.0 / QString(pas[1]).toInt(nullptr, 16)));
        int64_t fi = ara_ns() + int64_t(previst + 5) * 1000000LL * 105 + 500000000LL;
        while (ara_ns() < fi) QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 5);
        w.t_ritmes->set_Enabled(false);
        card.atura();
        auto on = inicis(card.mono(), 0, freq);
        std::vector<double> errors;
        for (size_t i = 1; i < on.size(); ++i)
            errors.push_back(std::fabs((on[i] - on[i - 1]) * 1000.0 / freq - previst));
        std::printf("audible %s (%d steps): median %.2f ms p99 %.2f ms\n", pas, int(errors.size()), percentil(errors, 0.5),
                    percentil(errors, 0.99));
    }

    // Note-ons at random moments from the window thread, as a pointer's would come.
    targeta card(synth, media);
    HMIDIOUT h = 0;
    midi.midiOutOpen(h, MIDI_MAPPER);
    std::mt19937 atzar(3);
    std::vector<int64_t> enviats;
    for (int n = 0; n < 120; ++n) {
        int64_t espera = ara_ns() + 120000000LL + int64_t(atzar() % 20000000);
        while (ara_ns() < espera) QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 1);
        enviats.push_back(ara_ns());
        midi.midiOutShortMsg(h, 0x99u | 75u << 8 | 120u << 16);
    }
    int64_t fi = ara_ns() + 300000000LL;
    while (ara_ns() < fi) QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 5);
    card.atura();
    auto on = inicis(card.mono(), 0, freq);
    std::vector<double> retards;
    for (size_t i = 0; i < enviats.size() && i < on.size(); ++i)
        retards.push_back((card.sona_ns(on[i]) - enviats[i]) / 1e6);
    std::printf("note-on to sound (%d notes): median %.2f ms p99 %.2f ms\n", int(retards.size()), percentil(retards, 0.5),
                percentil(retards, 0.99));
}
