// The integrated loudness (EBU R128, LUFS) of songs as the instrument sounds
// them: MIDI songs rendered by the built-in synthesizer with the system's
// General MIDI soundfont, WAV and MP3 songs as they are decoded.
//   sonoritat FILE...                   prints "LUFS FILE" for each
//   sonoritat --entre MIN MAX FILE...   the same, and fails when one is outside MIN..MAX
//   sonoritat --escriu SONG.mid OUT.wav writes what the built-in synthesizer renders (48 kHz stereo)
#include "platform/media_interpret.h"
#include "platform/sintetitzador.h"

#include <QCoreApplication>
#include <QFile>
#include <QUrl>

#include <ebur128.h>
#include <sndfile.h>

#include <cstdio>
#include <functional>
#include <memory>
#include <vector>

using namespace brisola;

namespace {

constexpr int freq = 48000;

struct mesura {
    ebur128_state* estat;
    mesura(unsigned canals, unsigned long freq_mostreig) : estat(ebur128_init(canals, freq_mostreig, EBUR128_MODE_I)) {}
    ~mesura() { ebur128_destroy(&estat); }
    double lufs() {
        double l = -HUGE_VAL;
        ebur128_loudness_global(estat, &l);
        return l;
    }
};

// Renders a MIDI song as the instrument does, period by period, into `rep`; false when it cannot.
bool renderitza(const QString& cami, const std::function<void(const float*, int)>& rep) {
    sintetitzador synth(freq);
    if (!synth.carrega(sintetitzador::troba_soundfont())) return false;
    media_interpret media(synth, freq);
    uint32_t error = MCI_OK;
    media.mciSendStringA("open " + media.ShortPath(cami) + " Type Sequencer Alias Mid1 ", &error);
    if (error != MCI_OK) return false;
    const QString llargada = media.mciSendStringA("status Mid1 length");
    media.mciSendStringA("play Mid1");
    std::vector<float> periode(2 * 1024);
    // To its end, and two seconds of the last chord's ring after it.
    for (int despres = 0; despres < 2 * freq;) {
        std::fill(periode.begin(), periode.end(), 0.0f);
        media.mescla(periode.data(), 1024);
        rep(periode.data(), 1024);
        if (media.mciSendStringA("status Mid1 position") == llargada) despres += 1024;
    }
    return true;
}

double de_midi(const QString& cami) {
    mesura m(2, freq);
    bool ok = renderitza(cami, [&](const float* f, int n) { ebur128_add_frames_float(m.estat, f, size_t(n)); });
    return ok ? m.lufs() : -HUGE_VAL;
}

bool escriu(const QString& midi, const QString& wav) {
    SF_INFO info{};
    info.samplerate = freq;
    info.channels = 2;
    info.format = SF_FORMAT_WAV | SF_FORMAT_FLOAT;
    SNDFILE* f = sf_open(QFile::encodeName(wav).constData(), SFM_WRITE, &info);
    if (!f) return false;
    bool ok = renderitza(midi, [&](const float* p, int n) { sf_writef_float(f, p, n); });
    sf_close(f);
    return ok;
}

double de_fitxer(const QString& cami) {
    SF_INFO info{};
    SNDFILE* f = sf_open(QFile::encodeName(cami).constData(), SFM_READ, &info);
    if (!f) return -HUGE_VAL;
    // A mono song plays on both sides: it is measured as the stereo pair it becomes.
    mesura m(2, static_cast<unsigned long>(info.samplerate));
    std::vector<float> entrada(4096 * size_t(info.channels)), estereo(2 * 4096);
    for (sf_count_t n; (n = sf_readf_float(f, entrada.data(), 4096)) > 0;) {
        for (sf_count_t i = 0; i < n; ++i) {
            estereo[size_t(2 * i)] = entrada[size_t(i * info.channels)];
            estereo[size_t(2 * i + 1)] = entrada[size_t(i * info.channels + (info.channels > 1 ? 1 : 0))];
        }
        ebur128_add_frames_float(m.estat, estereo.data(), size_t(n));
    }
    sf_close(f);
    return m.lufs();
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QStringList args = app.arguments().mid(1);
    if (args.size() == 3 && args[0] == "--escriu") return escriu(args[1], args[2]) ? 0 : 1;
    double minim = -HUGE_VAL, maxim = HUGE_VAL;
    if (args.size() >= 3 && args[0] == "--entre") {
        minim = args[1].toDouble();
        maxim = args[2].toDouble();
        args = args.mid(3);
    }
    int fora = 0;
    for (const QString& cami : args) {
        double l = cami.endsWith(".mid", Qt::CaseInsensitive) ? de_midi(cami) : de_fitxer(cami);
        std::printf("%.1f %s\n", l, qPrintable(cami));
        if (!(l >= minim && l <= maxim)) ++fora;
    }
    return fora == 0 ? 0 : 1;
}
