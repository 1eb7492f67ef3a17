// How long one pointer tick costs, and how soon a note sounds after it.
//   bench_mus            runs both measurements and prints one line each
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
    midi_sistema_linux midi(synth);
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

// Frames from a note-on to the first audible sample, rendering as the audio callback does.
void latencia_de_nota(sintetitzador& synth) {
    const int periode = sortida_audio::frames_per_periode;
    const double ms_per_frame = 1000.0 / sortida_audio::freq_mostreig;
    std::vector<float> bloc(size_t(periode) * 2);
    std::mt19937 atzar(11);
    std::vector<double> total;
    double inici_mes_llarg = 0;
    for (int prova = 0; prova < 200; ++prova) {
        synth.envia(0xB0, 120, 0);
        for (int i = 0; i < 40; ++i) synth.render(bloc.data(), periode); // let the previous note die away
        synth.envia(0x90, uint8_t(48 + prova % 36), 100);
        int frames = 0;
        bool sona = false;
        while (!sona && frames < 48000) {
            synth.render(bloc.data(), periode);
            for (int f = 0; f < periode && !sona; ++f, ++frames)
                sona = std::fabs(bloc[2 * f]) > 1e-4f || std::fabs(bloc[2 * f + 1]) > 1e-4f;
        }
        inici_mes_llarg = std::max(inici_mes_llarg, frames * ms_per_frame);
        // The note waits for the next callback (uniform within a period), then
        // the device plays out one period before the block is heard.
        double espera = std::uniform_real_distribution<double>(0, periode)(atzar) * ms_per_frame;
        total.push_back(espera + frames * ms_per_frame + periode * ms_per_frame);
    }
    std::printf("note-on to first sound at %d frames: median %.1f ms p99 %.1f ms (synth onset at most %.1f ms)\n",
                periode, percentil(total, 0.5), percentil(total, 0.99), inici_mes_llarg);
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
    latencia_de_nota(synth);
}
