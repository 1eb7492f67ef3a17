// How long one pointer tick costs: MUS with its MIDI send to the built-in synthesizer.
#include "../tests/fakes/banc.h"
#include "platform/midi_sistema_linux.h"
#include "platform/sintetitzador.h"
#include "platform/sortida_audio.h"
#include "mesura.h"

#include <QApplication>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <random>
#include <vector>

using namespace brisola;
using rellotge_pla = std::chrono::steady_clock;

namespace {

// One MUS call per tick, as the mouse timer makes it, sending to the built-in synthesizer.
void cost_de_mus(sintetitzador& synth) {
    banc b;
    alsa_fals alsa;
        midi_sistema_linux midi(synth, alsa);
    serveis reals = b.amb(midi, b.joystick);
    finestra_main w(reals);
    w.mn_acces_Click(0);
    std::vector<float> buit(sortida_audio::frames_per_periode * 2);
    std::mt19937 atzar(7);
    std::vector<double> temps;
    for (int n = 0; n < 20000; ++n) {
        int16_t y = int16_t(atzar() % 480), x = int16_t(atzar() % 640);
        int32_t interval = 10;
        auto t0 = rellotge_pla::now();
        w.MUS(y, x, interval);
        temps.push_back(std::chrono::duration<double, std::micro>(rellotge_pla::now() - t0).count());
        if (n % 4 == 0) synth.render(buit.data(), sortida_audio::frames_per_periode); // keep voices from piling up
    }
    std::printf("MUS with its MIDI send: median %.1f us p99 %.1f us\n", percentil(temps, 0.5), percentil(temps, 0.99));
}

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    sintetitzador synth(sortida_audio::freq_mostreig);
    if (!synth.carrega(sintetitzador::troba_soundfont())) {
        std::fprintf(stderr, "No General MIDI soundfont: install fluid-soundfont-gm.\n");
        return 1;
    }
    cost_de_mus(synth);
}
