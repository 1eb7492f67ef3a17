// How closely the real drum timer keeps time: for steps of "1C" (133 ms at
// tempo 400) and "18" (200 ms), the spread of |actual - intended| step time.
#include "../tests/fakes/banc.h"
#include "platform/numeros.h"
#include "platform/temporitzador_qt.h"
#include "mesura.h"

#include <QApplication>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <vector>

using namespace brisola;
using rellotge_pla = std::chrono::steady_clock;

namespace {

// Notes the moment of every drum message.
struct midi_cronometrat : midi_fals {
    std::vector<rellotge_pla::time_point> moments;
    uint32_t midiOutShortMsg(HMIDIOUT h, uint32_t m) override {
        moments.push_back(rellotge_pla::now());
        return midi_fals::midiOutShortMsg(h, m);
    }
};

void mesura(const char* pas, int passos) {
    banc b;
    midi_cronometrat midi;
    rellotge_qt rellotge;
    serveis s{midi, b.caixes, b.dialeg, rellotge, b.joystick, b.captura, b.tintseer, b.media, b.llancador, b.dir.path(), b.dir.path(), [] {}};
    finestra_main w(s);
    w.estat.patro_bateria = QString(pas) + "36";
    w.t_ritmes->set_Interval(w.estat.tempo);
    w.t_ritmes->set_Enabled(true);
    const int32_t previst = nearest32(w.estat.tempo * 4.0 * 1 / QString(pas[1]).toInt(nullptr, 16));
    while (midi.moments.size() < size_t(passos) + 1) QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    std::vector<double> errors;
    for (size_t i = 1; i < midi.moments.size(); ++i) {
        double ms = std::chrono::duration<double, std::milli>(midi.moments[i] - midi.moments[i - 1]).count();
        errors.push_back(std::fabs(ms - previst));
    }
    std::printf("%s: median %.3f ms p99 %.3f ms\n", pas, percentil(errors, 0.5), percentil(errors, 0.99));
}

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    mesura("1C", 100);
    mesura("18", 100);
}
