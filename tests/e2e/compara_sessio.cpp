// Compares a session's exports with its journal and with the sound captured
// while it played: the MIDI file's notes against the journal's (same notes,
// times within 1 ms), and the exported audio's onsets and level against the
// capture's (every onset within 5 ms, level within 1 dB), the capture laid on
// the heard clock by the marks the program wrote beside it.
// Usage: compara_sessio JOURNAL OUT.mid OUT.wav CAPTURE.raw (48 kHz stereo float) MARKS
#include "platform/lector_smf.h"
#include "sessions/sessio.h"

#include <QFile>

#include <sndfile.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <map>
#include <optional>
#include <vector>

using namespace brisola;

namespace {

struct so {
    std::vector<float> mono;
    double freq;
};

so llegeix_wav(const char* cami) {
    SF_INFO info{};
    SNDFILE* f = sf_open(cami, SFM_READ, &info);
    if (!f) return {{}, 1};
    std::vector<float> tot(size_t(info.frames * info.channels));
    sf_readf_float(f, tot.data(), info.frames);
    sf_close(f);
    so s{{}, double(info.samplerate)};
    for (size_t i = 0; i < size_t(info.frames); ++i) s.mono.push_back(tot[i * size_t(info.channels)]);
    return s;
}

so llegeix_cru(const char* cami) {
    QFile f(cami);
    f.open(QIODevice::ReadOnly);
    const QByteArray b = f.readAll();
    const auto* m = reinterpret_cast<const float*>(b.constData());
    so s{{}, 48000};
    for (size_t i = 0; i + 1 < size_t(b.size()) / 4; i += 2) s.mono.push_back(m[i]);
    return s;
}

// The RMS of each quarter of a millisecond.
constexpr double tros_ms = 0.25;
std::vector<double> envolupant(const so& s) {
    std::vector<double> e;
    const double per_tros = s.freq * tros_ms / 1000;
    for (size_t k = 0; double(k + 1) * per_tros <= double(s.mono.size()); ++k) {
        double suma = 0;
        const size_t a = size_t(double(k) * per_tros), b = size_t(double(k + 1) * per_tros);
        for (size_t i = a; i < b; ++i) suma += double(s.mono[i]) * s.mono[i];
        e.push_back(std::sqrt(suma / double(b - a)));
    }
    return e;
}

// Where each period of the capture lies on the monotonic clock, as the program
// wrote it beside the capture: a capture's pace (SDL's disk driver sleeps, and
// oversleeps on a busy machine) then does not matter.
struct marca {
    int64_t frame;
    double ns, ns_per_frame;
};
std::vector<marca> llegeix_marques(const char* cami) {
    QFile f(cami);
    f.open(QIODevice::ReadOnly);
    const QByteArray b = f.readAll();
    std::vector<marca> m(size_t(b.size()) / sizeof(marca));
    std::memcpy(m.data(), b.constData(), m.size() * sizeof(marca));
    return m;
}
// The moment, in ms of the monotonic clock, a millisecond of the capture was heard for.
double moment_ms(const std::vector<marca>& marques, double ms) {
    const double frame = ms * 48;
    auto it = std::upper_bound(marques.begin(), marques.end(), frame, [](double f, const marca& m) { return f < double(m.frame); });
    if (it == marques.begin()) return std::nan("");
    --it;
    return (it->ns + (frame - double(it->frame)) * it->ns_per_frame) / 1e6;
}

// The journal's time 0 on the monotonic clock: the difference most pairs of onsets agree on, to the millisecond.
double origen(const std::vector<double>& exportats, const std::vector<double>& capturats) {
    std::map<long, int> vots;
    for (double c : capturats)
        for (double e : exportats) ++vots[std::lround(c - e)];
    auto amb_veins = [&](long k) {
        auto de = [&](long j) { return vots.count(j) ? vots.at(j) : 0; };
        return de(k - 1) + de(k) + de(k + 1);
    };
    auto millor = std::max_element(vots.begin(), vots.end(),
                                   [&](const auto& a, const auto& b) { return amb_veins(a.first) < amb_veins(b.first); });
    return millor == vots.end() ? 0 : double(millor->first);
}

// Where sounds begin: a millisecond 8 dB louder than the three before, above -60 dBFS.
std::vector<double> onsets(const std::vector<double>& e) {
    std::vector<double> o;
    const size_t per_ms = size_t(1 / tros_ms);
    std::vector<double> ms;
    for (size_t k = 0; k + per_ms <= e.size(); k += per_ms) {
        double suma = 0;
        for (size_t i = k; i < k + per_ms; ++i) suma += e[i] * e[i];
        ms.push_back(std::sqrt(suma / double(per_ms)));
    }
    for (size_t k = 3; k < ms.size(); ++k)
        if (ms[k] > 0.001 && ms[k] > 2.5 * std::max({ms[k - 1], ms[k - 2], ms[k - 3]}) && (o.empty() || double(k) - o.back() > 30)) {
            // To the quarter millisecond: the first quarter that rises past half that millisecond's level.
            size_t q = k * per_ms;
            while (q + 1 < (k + 1) * per_ms && e[q] < ms[k] / 2) ++q;
            o.push_back(double(q) * tros_ms);
        }
    return o;
}

double nivell_db(const std::vector<double>& e, size_t a, size_t b) {
    double suma = 0;
    for (size_t k = a; k < b && k < e.size(); ++k) suma += e[k] * e[k];
    return 10 * std::log10(suma / double(std::max<size_t>(b - a, 1)) + 1e-20);
}

int compara_midi(const sessio& s, const char* mid) {
    QFile f(mid);
    if (!f.open(QIODevice::ReadOnly)) return std::printf("FAIL: cannot read %s\n", mid), 1;
    auto e = esdeveniments_smf(f.readAll());
    if (!e) return std::printf("FAIL: %s is not a MIDI file\n", mid), 1;
    std::vector<std::pair<double, int>> diari, fitxer;
    for (const auto& m : s.midi)
        if ((m.estat & 0xf0) == 0x90 && m.dada2 > 0) diari.push_back({double(m.ms), m.dada1});
    for (const auto& m : *e)
        if ((m.estat & 0xf0) == 0x90 && m.dada2 > 0) fitxer.push_back({m.ms, m.dada1});
    double pitjor = 0;
    bool iguals = diari.size() == fitxer.size();
    for (size_t i = 0; iguals && i < diari.size(); ++i) {
        iguals = diari[i].second == fitxer[i].second;
        pitjor = std::max(pitjor, std::fabs(diari[i].first - fitxer[i].first));
    }
    std::printf("midi: %zu notes in the journal, %zu in the file, worst time %.3f ms\n", diari.size(), fitxer.size(), pitjor);
    return iguals && pitjor <= 1 && !diari.empty() ? 0 : (std::printf("FAIL: the MIDI file's notes differ\n"), 1);
}

// The capture's quarter millisecond heard at a moment, in ms of the monotonic clock.
double tros_del_moment(const std::vector<marca>& marques, double moment) {
    const double ns = moment * 1e6;
    auto it = std::upper_bound(marques.begin(), marques.end(), ns, [](double n, const marca& m) { return n < m.ns; });
    if (it == marques.begin()) return std::nan("");
    --it;
    return (double(it->frame) + (ns - it->ns) / it->ns_per_frame) / 48 / tros_ms;
}

// How alike two stretches of envelope are, -1 to 1.
double semblanca(const std::vector<double>& a, size_t ia, const std::vector<double>& b, size_t ib, size_t n) {
    double sa = 0, sb = 0, saa = 0, sbb = 0, sab = 0;
    for (size_t k = 0; k < n; ++k) {
        const double x = a[ia + k], y = b[ib + k];
        sa += x, sb += y, saa += x * x, sbb += y * y, sab += x * y;
    }
    const double cov = sab - sa * sb / double(n), va = saa - sa * sa / double(n), vb = sbb - sb * sb / double(n);
    return va > 0 && vb > 0 ? cov / std::sqrt(va * vb) : -1;
}

// Where, in quarter milliseconds of the capture, the exported sound that begins at `t`
// (ms of the export) is heard: the 50 ms from just before its onset laid over the
// capture, within 25 ms either side of where the journal puts it (five times what is
// allowed, and less than half the time between two drum strokes, which sound alike).
// The output wakes with the first note, so a sound may begin the capture with little before it.
std::optional<size_t> on_sona(const std::vector<double>& ee, const std::vector<double>& ec, double t, double esperat) {
    constexpr size_t llarg = size_t(50 / tros_ms), marge = size_t(25 / tros_ms);
    const size_t ie = size_t(t / tros_ms), abans = std::min(size_t(5 / tros_ms), ie);
    if (ie + llarg > ee.size() || ec.size() < llarg || std::isnan(esperat)) return std::nullopt;
    const double primer = std::max(esperat - double(marge), double(abans));
    const double darrer = std::min(esperat + double(marge), double(ec.size() - llarg + abans));
    std::optional<size_t> millor;
    double millor_s = -2;
    for (size_t ic = size_t(std::ceil(primer)); double(ic) <= darrer; ++ic)
        if (double v = semblanca(ee, ie - abans, ec, ic - abans, llarg); v > millor_s) millor_s = v, millor = ic;
    return millor;
}

int compara_audio(const so& exportat, const so& capturat, const std::vector<marca>& marques) {
    const auto ee = envolupant(exportat), ec = envolupant(capturat);
    if (ee.empty() || ec.empty() || marques.empty()) return std::printf("FAIL: a sound or its marks are missing\n"), 1;
    // The last two seconds are left out: the quitting menu's own sounds come after the journal's end.
    auto oe = onsets(ee);
    std::erase_if(oe, [&](double t) { return t > double(ee.size()) * tros_ms - 2000; });
    std::vector<double> moments;
    for (double c : onsets(ec))
        if (double m = moment_ms(marques, c); !std::isnan(m)) moments.push_back(m);
    const double zero = origen(oe, moments);
    // Each exported sound found in the capture by its shape near where the journal puts it: onsets
    // picked in each alone can fall a few ms apart on overlapping drums.
    std::vector<std::pair<double, double>> parells;
    std::vector<double> desfasaments;
    for (double t : oe) {
        const auto ic = on_sona(ee, ec, t, tros_del_moment(marques, zero + t));
        if (!ic) {
            std::printf("the sound exported at %.2f ms is not in the capture\n", t);
            continue;
        }
        const double c = double(*ic) * tros_ms;
        parells.push_back({t, c});
        desfasaments.push_back(moment_ms(marques, c) - zero - t);
    }
    // The journal's time 0 to a fraction of a millisecond: the middle of what the sounds found say.
    std::vector<double> ordenats = desfasaments;
    std::sort(ordenats.begin(), ordenats.end());
    const double afinat = ordenats.empty() ? 0 : ordenats[ordenats.size() / 2];
    std::vector<double> diferencies;
    for (size_t i = 0; i < parells.size(); ++i) {
        diferencies.push_back(std::fabs(desfasaments[i] - afinat));
        if (diferencies.back() > 5)
            std::printf("the sound exported at %.2f ms is heard %.2f ms off\n", parells[i].first, desfasaments[i] - afinat);
    }
    double nivell_e = 0, nivell_c = 0;
    for (const auto& [t, c] : parells) {
        // Each sound's level over its first 50 ms.
        nivell_e += nivell_db(ee, size_t(t / tros_ms), size_t((t + 50) / tros_ms)) / double(parells.size());
        nivell_c += nivell_db(ec, size_t(c / tros_ms), size_t((c + 50) / tros_ms)) / double(parells.size());
    }
    const size_t dins = size_t(std::count_if(diferencies.begin(), diferencies.end(), [](double d) { return d <= 5; }));
    std::sort(diferencies.begin(), diferencies.end());
    const double mitjana = diferencies.empty() ? 0 : diferencies[diferencies.size() / 2];
    const double pitjor = diferencies.empty() ? 0 : diferencies.back();
    std::printf("audio: %zu onsets exported, %zu captured, %zu found, %zu within 5 ms (median %.2f ms, worst %.2f ms); "
                "level %.2f dB exported, %.2f dB captured\n",
                oe.size(), moments.size(), parells.size(), dins, mitjana, pitjor, nivell_e, nivell_c);
    if (oe.size() < 10) return std::printf("FAIL: too few onsets\n"), 1;
    // The journal keeps each note where the output placed it: every one is where it was heard.
    if (dins < oe.size()) return std::printf("FAIL: onsets differ by more than 5 ms\n"), 1;
    if (std::fabs(nivell_e - nivell_c) > 1) return std::printf("FAIL: the levels differ by more than 1 dB\n"), 1;
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 6) return std::fprintf(stderr, "compara_sessio JOURNAL OUT.mid OUT.wav CAPTURE.raw MARKS\n"), 2;
    auto s = llegeix_sessio(QString::fromLocal8Bit(argv[1]));
    if (!s) return std::printf("FAIL: cannot read the journal\n"), 1;
    const int midi = compara_midi(*s, argv[2]);
    const int audio = compara_audio(llegeix_wav(argv[3]), llegeix_cru(argv[4]), llegeix_marques(argv[5]));
    return midi || audio;
}
