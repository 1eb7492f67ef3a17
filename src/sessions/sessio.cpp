#include "sessions/sessio.h"

#include "sessions/format_diari.h"

#include <QFile>

#include <algorithm>
#include <charconv>

namespace brisola {

namespace {

// A week: no session runs longer, and a time beyond it is a spoiled line.
constexpr int64_t mes_llarga = 7LL * 24 * 3600 * 1000;

std::optional<int64_t> enter(std::string_view& text) {
    while (!text.empty() && text.front() == ' ') text.remove_prefix(1);
    int64_t v = 0;
    auto [fi, e] = std::from_chars(text.data(), text.data() + text.size(), v);
    if (e != std::errc() || fi == text.data()) return std::nullopt;
    text.remove_prefix(size_t(fi - text.data()));
    return v;
}

template <size_t N>
std::optional<std::array<int64_t, N>> enters(std::string_view text) {
    std::array<int64_t, N> v{};
    for (auto& x : v) {
        auto n = enter(text);
        if (!n) return std::nullopt;
        x = *n;
    }
    return v;
}

QString resta(std::string_view text) {
    if (!text.empty() && text.front() == ' ') text.remove_prefix(1);
    return QString::fromUtf8(text.data(), qsizetype(text.size()));
}

std::optional<sessio::missatge> missatge_de(int64_t ms, std::string_view camps) {
    if (camps.size() != 7 || camps[0] != ' ') return std::nullopt;
    uint32_t v = 0;
    auto [fi, e] = std::from_chars(camps.data() + 1, camps.data() + 7, v, 16);
    // Channel messages only: a system status would end the track or open a SysEx in the MIDI export.
    if (e != std::errc() || fi != camps.data() + 7 || (v >> 16) < 0x80 || (v >> 16) >= 0xf0) return std::nullopt;
    return sessio::missatge{ms, uint8_t(v >> 16), uint8_t((v >> 8) & 0x7f), uint8_t(v & 0x7f)};
}

std::optional<guanys_so> guanys_de(std::string_view camps) {
    auto v = enters<18>(camps);
    if (!v) return std::nullopt;
    // Within what the instrument sets: the whole up to +12 dB, a channel up to its own level.
    auto factor = [&](size_t i, double maxim) { return std::clamp(double((*v)[i]) / 10000, 0.0, maxim); };
    guanys_so g;
    g.sintetitzador = factor(0, 4);
    g.cancons = factor(1, 4);
    for (size_t c = 0; c < 16; ++c) g.canals[c] = factor(c + 2, 1);
    return g;
}

// False when the line's fields do not read as its kind's.
bool afegeix(sessio& s, char tipus, int64_t ms, std::string_view camps) {
    switch (tipus) {
    case linies::midi:
        if (auto m = missatge_de(ms, camps)) return s.midi.push_back(*m), true;
        return false;
    case linies::canco:
        s.cancons.push_back({ms, resta(camps)});
        return true;
    case linies::tria:
    case linies::info: {
        const QString text = resta(camps);
        const QString clau = text.section(' ', 0, 0), valor = text.section(' ', 1);
        if (clau.isEmpty()) return false;
        if (tipus == linies::info) s.info[clau] = valor;
        else s.tries.push_back({ms, clau, valor});
        return true;
    }
    case linies::pulsador:
    case linies::acceptat:
        if (camps != " 1" && camps != " 0") return false;
        s.pulsador.push_back({ms, camps == " 1", tipus == linies::acceptat});
        return true;
    case linies::punter: {
        auto v = enters<4>(camps);
        if (!v) return false;
        auto mil = [](int64_t x) { return int(std::clamp<int64_t>(x, 0, 1000)); };
        s.punter.push_back({ms, {mil((*v)[0]), mil((*v)[1]), mil((*v)[2]), mil((*v)[3])}});
        return true;
    }
    case linies::nivells:
        if (auto g = guanys_de(camps)) return s.nivells.push_back({ms, *g}), true;
        return false;
    case linies::llacuna: {
        auto v = enters<2>(camps);
        if (!v || (*v)[0] < 1 || (*v)[1] < 0 || (*v)[1] > mes_llarga) return false;
        s.llacunes.push_back({ms, ms + (*v)[1], (*v)[0]});
        return true;
    }
    case linies::marca:
        return camps.empty();
    default:
        return false; // a later version's: its time still counts
    }
}

// "brisola-diari N": a later version's journal is read too, its unknown kinds passed over.
bool salta_capcalera(std::string_view& text) {
    const std::string_view nom = linies::capcalera;
    const std::string_view prefix = nom.substr(0, nom.rfind(' ') + 1);
    if (text.substr(0, prefix.size()) != prefix) return false;
    std::string_view resta_text = text.substr(prefix.size());
    int versio = 0;
    auto [fi, e] = std::from_chars(resta_text.data(), resta_text.data() + resta_text.size(), versio);
    if (e != std::errc() || versio < 1 || fi == resta_text.data() + resta_text.size() || *fi != '\n') return false;
    text.remove_prefix(size_t(fi - text.data()) + 1);
    return true;
}

} // namespace

std::optional<sessio> llegeix_sessio(const QByteArray& bytes) {
    std::string_view text(bytes.constData(), size_t(bytes.size()));
    if (!salta_capcalera(text)) return std::nullopt;
    sessio s;
    int64_t ms = 0;
    for (size_t fi; (fi = text.find('\n')) != std::string_view::npos; text.remove_prefix(fi + 1)) {
        std::string_view linia = text.substr(0, fi);
        if (linia.empty()) continue;
        const char tipus = linia[0];
        linia.remove_prefix(1);
        auto temps = enter(linia);
        const int64_t nou = !temps ? 0 : tipus == linies::marca ? *temps : ms + std::clamp(*temps, -mes_llarga, mes_llarga);
        if (!temps || (!linia.empty() && linia[0] != ' ') || nou < 0 || nou > mes_llarga) {
            ++s.passades;
            continue;
        }
        ms = nou;
        if (!afegeix(s, tipus, ms, linia)) ++s.passades;
        s.durada_ms = std::max(s.durada_ms, ms);
    }
    return s;
}

std::optional<sessio> llegeix_sessio(const QString& cami) {
    QFile f(cami);
    if (!f.open(QIODevice::ReadOnly)) return std::nullopt;
    return llegeix_sessio(f.readAll());
}

} // namespace brisola
