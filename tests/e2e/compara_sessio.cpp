// Compares a session's exports with its journal and with the sound captured
// while it played: the MIDI file's notes against the journal's (same notes,
// times within 1 ms), and the exported audio's onsets and level against the
// capture's (onsets within 5 ms, level within 1 dB).
// Usage: compara_sessio JOURNAL OUT.mid OUT.wav CAPTURE.raw (48 kHz stereo float)
#include "platform/lector_smf.h"
#include "sessions/sessio.h"

#include <QFile>

#include <sndfile.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
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

// Levels above -60 dBFS, as a shape to match: 0 at -60.
double db(double v) { return 60 + 20 * std::log10(std::max(v, 1e-3)); }

// The capture's time as a line over the session's: it began when the output opened, and SDL's
// disk driver, which sleeps whole milliseconds, runs its clock a little fast.
struct recta {
    double origen = 0, pendent = 1;
    double operator()(double t) const { return origen + pendent * t; }
    static recta ajusta(const std::vector<std::pair<double, double>>& punts) {
        if (punts.size() < 2) return {punts.empty() ? 0 : punts[0].second - punts[0].first, 1};
        double sx = 0, sy = 0, sxx = 0, sxy = 0, n = double(punts.size());
        for (auto [x, y] : punts) sx += x, sy += y, sxx += x * x, sxy += x * y;
        const double pendent = (n * sxy - sx * sy) / (n * sxx - sx * sx);
        return {(sy - pendent * sx) / n, pendent};
    }
};

// The line that best lays the export's levels, 10 ms at a time, on the capture's: a coarse
// search over the pace and the start, then a finer one around the best.
recta alinea(const std::vector<double>& ee, const std::vector<double>& ec) {
    auto per_10ms = [](const std::vector<double>& e) {
        std::vector<double> v;
        const size_t n = size_t(10 / tros_ms);
        for (size_t k = 0; k + n <= e.size(); k += n) {
            double suma = 0;
            for (size_t i = k; i < k + n; ++i) suma += e[i] * e[i];
            v.push_back(db(std::sqrt(suma / double(n))));
        }
        return v;
    };
    const auto me = per_10ms(ee), mc = per_10ms(ec);
    auto error = [&](const recta& r) {
        double suma = 0;
        for (size_t k = 0; k < me.size(); ++k) {
            const long j = std::lround(r(double(k)));
            suma += j >= 0 && size_t(j) < mc.size() ? std::fabs(me[k] - mc[size_t(j)]) : 60;
        }
        return suma;
    };
    recta millor;
    double minim = 1e300;
    auto cerca = [&](recta centre, double amp_pendent, double pas_pendent, double amp_origen, double pas_origen) {
        for (double p = centre.pendent - amp_pendent; p <= centre.pendent + amp_pendent; p += pas_pendent)
            for (double o = centre.origen - amp_origen; o <= centre.origen + amp_origen; o += pas_origen)
                if (double e = error({o, p}); e < minim) minim = e, millor = {o, p};
    };
    cerca({100, 1.15}, 0.3, 0.005, 200, 5);
    cerca(millor, 0.01, 0.001, 10, 1);
    cerca(millor, 0.001, 0.0001, 2, 0.1);
    return {millor.origen * 10, millor.pendent};
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

int compara_audio(const so& exportat, const so& capturat) {
    const auto ee = envolupant(exportat), ec = envolupant(capturat);
    if (ee.empty() || ec.empty()) return std::printf("FAIL: a sound is missing\n"), 1;
    // The last two seconds are left out: the quitting menu loads the machine and the capture's clock with it.
    auto oe = onsets(ee);
    const auto oc = onsets(ec);
    std::erase_if(oe, [&](double t) { return t > double(ee.size()) * tros_ms - 2000; });
    // Each exported onset's captured one: the nearest to where the line through the pairs before puts it
    // (onsets come 200 ms apart at the least, the capture's clock drifts by less than 150 ms between them).
    std::vector<std::pair<double, double>> parells;
    const recta inicial = alinea(ee, ec);
    for (double t : oe) {
        const recta r = parells.size() < 4 ? inicial
                                           : recta::ajusta({parells.end() - std::min<long>(8, long(parells.size())), parells.end()});
        auto proper = std::min_element(oc.begin(), oc.end(),
                                       [&](double a, double b) { return std::fabs(a - r(t)) < std::fabs(b - r(t)); });
        if (proper != oc.end() && std::fabs(*proper - r(t)) < 150) parells.push_back({t, *proper});
    }
    // The capture's clock drifts as the driver's sleeps do: each onset is measured against the
    // line through its neighbours within two seconds.
    size_t dins = 0;
    double pitjor = 0, nivell_e = 0, nivell_c = 0;
    std::vector<double> diferencies;
    for (const auto& [t, c] : parells) {
        // Each sound's level over its first 50 ms: the capture's clock stretches the silences between.
        nivell_e += nivell_db(ee, size_t(t / tros_ms), size_t((t + 50) / tros_ms)) / double(parells.size());
        nivell_c += nivell_db(ec, size_t(c / tros_ms), size_t((c + 50) / tros_ms)) / double(parells.size());
        std::vector<std::pair<double, double>> veins;
        for (const auto& v : parells)
            if (std::fabs(v.first - t) <= 2000) veins.push_back(v);
        const recta r = recta::ajusta(veins);
        const double d = std::fabs((c - r.origen) / r.pendent - t);
        diferencies.push_back(d);
        pitjor = std::max(pitjor, d);
        if (d <= 5) ++dins;
    }
    const double pendent = recta::ajusta(parells).pendent;
    std::sort(diferencies.begin(), diferencies.end());
    const double mitjana = diferencies.empty() ? 0 : diferencies[diferencies.size() / 2];
    std::printf("audio: %zu onsets exported, %zu captured, %zu paired, %zu within 5 ms (median %.2f ms, worst %.2f ms), "
                "the capture's clock at %.4f; level %.2f dB exported, %.2f dB captured\n",
                oe.size(), oc.size(), parells.size(), dins, mitjana, pitjor, pendent, nivell_e,
                nivell_c);
    if (oe.size() < 10) return std::printf("FAIL: too few onsets\n"), 1;
    // The disk driver's clock jumps when a sleep runs long, and a note whose timer woke later than
    // the output's few milliseconds of latency sounded late: most onsets, not all, fall within.
    if (dins < oe.size() * 2 / 3 || mitjana > 3) return std::printf("FAIL: onsets differ by more than 5 ms\n"), 1;
    if (std::fabs(nivell_e - nivell_c) > 1) return std::printf("FAIL: the levels differ by more than 1 dB\n"), 1;
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 5) return std::fprintf(stderr, "compara_sessio JOURNAL OUT.mid OUT.wav CAPTURE.raw\n"), 2;
    auto s = llegeix_sessio(QString::fromLocal8Bit(argv[1]));
    if (!s) return std::printf("FAIL: cannot read the journal\n"), 1;
    const int midi = compara_midi(*s, argv[2]);
    const int audio = compara_audio(llegeix_wav(argv[3]), llegeix_cru(argv[4]));
    return midi || audio;
}
