// What a playing song costs the audio thread, and how soon a held song falls silent.
//   bench_cancons        renders a MIDI song and an MP3 song together, as the audio callback does
#include "platform/media_interpret.h"
#include "platform/sintetitzador.h"
#include "platform/sortida_audio.h"
#include "mesura.h"

#include <QCoreApplication>
#include <QThread>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <vector>

using namespace brisola;
using rellotge_pla = std::chrono::steady_clock;

namespace {

const QString dades = QString(BRISOLA_SOURCE_DIR) + "/data/";
constexpr int periode = sortida_audio::frames_per_periode;

void cost_per_periode(sintetitzador& synth, media_interpret& media) {
    media.mciSendStringA("open " + media.ShortPath(dades + "passeig.mid") + " Type Sequencer Alias Mid1 ");
    media.mciSendStringA("play Mid1");
    media.mciSendStringA("play " + media.ShortPath(dades + "festa.mp3"));
    QThread::msleep(100); // let the decoder fill its ring
    std::vector<float> bloc(2 * periode);
    std::vector<double> temps;
    // 20 s of music, paced a little faster than real time so the decoder keeps up as it would.
    for (int n = 0; n < 20 * sortida_audio::freq_mostreig / periode; ++n) {
        auto t0 = rellotge_pla::now();
        synth.render(bloc.data(), periode);
        media.mescla(bloc.data(), periode);
        temps.push_back(std::chrono::duration<double, std::micro>(rellotge_pla::now() - t0).count());
        if (n % 8 == 0) QThread::usleep(500);
    }
    double periode_us = 1e6 * periode / sortida_audio::freq_mostreig;
    std::printf("one %d-frame period with a MIDI and an MP3 song: median %.0f us (%.1f %%), p99 %.0f us (%.1f %%)\n",
                periode, percentil(temps, 0.5), 100 * percentil(temps, 0.5) / periode_us, percentil(temps, 0.99),
                100 * percentil(temps, 0.99) / periode_us);
}

void fins_al_silenci(media_interpret& media) {
    std::vector<float> bloc(2 * periode);
    std::vector<double> ms;
    for (int prova = 0; prova < 20; ++prova) {
        media.mciSendStringA("Set Mid1 Tempo 112");
        for (int i = 0; i < 100; ++i) media.mescla(bloc.data(), periode);
        media.mciSendStringA("Set Mid1 Tempo 1");
        int frames = 0;
        for (bool sona = true; sona && frames < sortida_audio::freq_mostreig; frames += periode) {
            std::fill(bloc.begin(), bloc.end(), 0.0f);
            media.mescla(bloc.data(), periode);
            sona = std::any_of(bloc.begin(), bloc.end(), [](float m) { return std::fabs(m) > 1e-6f; });
        }
        ms.push_back(1000.0 * (frames - periode) / sortida_audio::freq_mostreig);
    }
    std::printf("\"Set Mid1 Tempo 1\" to silence in the output: median %.1f ms, worst %.1f ms\n", percentil(ms, 0.5),
                percentil(ms, 1.0));
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    sintetitzador synth(sortida_audio::freq_mostreig);
    if (!synth.carrega(sintetitzador::troba_soundfont())) {
        std::fprintf(stderr, "No General MIDI soundfont: install fluid-soundfont-gm.\n");
        return 1;
    }
    media_interpret media(synth, sortida_audio::freq_mostreig);
    cost_per_periode(synth, media);
    media.mciSendStringA("close " + media.ShortPath(dades + "festa.mp3"));
    fins_al_silenci(media);
}
