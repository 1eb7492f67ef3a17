#include "lector_smf.h"

#include "numeros.h"

#include <algorithm>
#include <limits>

namespace brisola {

namespace {

// A cursor over the bytes that reports running off the end instead of reading past it.
struct cursor {
    const QByteArray& bytes;
    qsizetype pos, fi;
    bool ok = true;

    uint8_t byte() {
        if (pos >= fi) return ok = false, 0;
        return uint8_t(bytes[pos++]);
    }
    uint32_t enter(int mida) {
        uint32_t v = 0;
        for (int i = 0; i < mida; ++i) v = v << 8 | byte();
        return v;
    }
    uint32_t vlq() {
        uint32_t v = 0;
        for (int i = 0; i < 4; ++i) {
            uint8_t b = byte();
            v = v << 7 | (b & 0x7F);
            if (!(b & 0x80)) return v;
        }
        return ok = false, 0;
    }
    void salta(uint32_t n) {
        if (n > uint64_t(fi - pos)) ok = false;
        pos = ok ? pos + qsizetype(n) : fi;
    }
};

struct pista {
    int64_t llargada = 0;
    std::vector<int> programes;
    std::optional<uint32_t> tempo_inicial; // microseconds per beat in force at tick 0
    std::vector<std::pair<int64_t, esdeveniment_smf>> missatges; // at their tick
    std::vector<std::pair<int64_t, uint32_t>> tempos;           // each change, at its tick
};

int mida_dades(uint8_t estat) { return (estat & 0xF0) == 0xC0 || (estat & 0xF0) == 0xD0 ? 1 : 2; }

std::optional<pista> llegeix_pista(cursor& c) {
    pista p;
    uint8_t estat = 0;
    while (c.ok && c.pos < c.fi) {
        p.llargada += c.vlq();
        uint8_t b = c.byte();
        if (b == 0xFF) {
            uint8_t tipus = c.byte();
            uint32_t mida = c.vlq();
            if (tipus == 0x2F) return c.ok ? std::optional(p) : std::nullopt;
            // A tempo set later is a change along the way: until then the song runs at 120.
            if (tipus == 0x51 && mida == 3) {
                const uint32_t tempo = c.enter(3);
                if (p.llargada == 0) p.tempo_inicial = tempo;
                p.tempos.push_back({p.llargada, tempo});
                continue;
            }
            c.salta(mida);
        } else if (b == 0xF0 || b == 0xF7) {
            c.salta(c.vlq());
        } else {
            if (b & 0x80) estat = b;
            else if (estat == 0) return std::nullopt; // running status with no status before it
            else --c.pos;
            esdeveniment_smf e{0, estat, uint8_t(c.byte() & 0x7F), 0};
            if (mida_dades(estat) == 2) e.dada2 = c.byte() & 0x7F;
            if ((estat & 0xF0) == 0xC0 && (estat & 0x0F) != 9) p.programes.push_back(e.dada1);
            p.missatges.push_back({p.llargada, e});
        }
    }
    // A track cut before its end marker still plays up to where it stops.
    return c.ok ? std::optional(p) : std::nullopt;
}

struct fitxer_smf {
    uint16_t divisio = 0;
    std::vector<pista> pistes;
};

std::optional<fitxer_smf> llegeix_pistes(const QByteArray& bytes) {
    cursor c{bytes, 0, bytes.size()};
    if (!bytes.startsWith("MThd")) return std::nullopt;
    c.salta(4);
    uint32_t mida_capcalera = c.enter(4);
    if (mida_capcalera < 6) return std::nullopt;
    c.enter(2);
    uint16_t pistes = uint16_t(c.enter(2));
    fitxer_smf f;
    f.divisio = uint16_t(c.enter(2));
    c.salta(mida_capcalera - 6);
    if (!c.ok || pistes == 0) return std::nullopt;
    while (f.pistes.size() < pistes && c.pos < c.fi) {
        // Chunks of other kinds are skipped, as the format asks.
        bool es_pista = bytes.mid(c.pos, 4) == "MTrk";
        c.salta(4);
        uint32_t mida = c.enter(4);
        qsizetype fi = c.pos + qsizetype(std::min<uint64_t>(mida, uint64_t(c.fi - c.pos)));
        if (!c.ok) return std::nullopt;
        if (es_pista) {
            cursor dins{bytes, c.pos, fi};
            auto p = llegeix_pista(dins);
            if (!p) return std::nullopt;
            f.pistes.push_back(std::move(*p));
        }
        c.pos = fi;
    }
    return f;
}

} // namespace

std::optional<info_smf> llegeix_smf(const QByteArray& bytes) {
    auto f = llegeix_pistes(bytes);
    if (!f) return std::nullopt;
    int64_t llargada = 0;
    std::vector<int> programes;
    std::optional<uint32_t> tempo;
    for (const pista& p : f->pistes) {
        llargada = std::max(llargada, p.llargada);
        for (int programa : p.programes)
            if (std::find(programes.begin(), programes.end(), programa) == programes.end()) programes.push_back(programa);
        if (!tempo) tempo = p.tempo_inicial;
    }
    info_smf info;
    info.llargada = int32_t(std::min<int64_t>(llargada, std::numeric_limits<int32_t>::max()));
    if (tempo && *tempo > 0) info.tempo = nearest32(60e6 / *tempo);
    info.programes = programes;
    return info;
}

std::optional<std::vector<esdeveniment_smf>> esdeveniments_smf(const QByteArray& bytes) {
    auto f = llegeix_pistes(bytes);
    if (!f) return std::nullopt;
    std::vector<std::pair<int64_t, esdeveniment_smf>> tots;
    std::vector<std::pair<int64_t, uint32_t>> tempos;
    for (const pista& p : f->pistes) {
        tots.insert(tots.end(), p.missatges.begin(), p.missatges.end());
        tempos.insert(tempos.end(), p.tempos.begin(), p.tempos.end());
    }
    auto per_tic = [](const auto& a, const auto& b) { return a.first < b.first; };
    std::stable_sort(tots.begin(), tots.end(), per_tic);
    std::stable_sort(tempos.begin(), tempos.end(), per_tic);
    // Ticks of a beat's division, or of SMPTE frames (a negative frame rate in the high byte).
    const bool smpte = f->divisio & 0x8000;
    const double ms_per_tic_smpte = smpte ? 1000.0 / (double(256 - (f->divisio >> 8)) * (f->divisio & 0xFF)) : 0;
    const double tics_per_negra = std::max(1, f->divisio & 0x7FFF);
    double ms = 0, us_per_negra = 500000;
    int64_t tic = 0;
    size_t t = 0;
    std::vector<esdeveniment_smf> sortida;
    sortida.reserve(tots.size());
    auto avanca = [&](int64_t fins) {
        ms += double(fins - tic) * (smpte ? ms_per_tic_smpte : us_per_negra / 1000.0 / tics_per_negra);
        tic = fins;
    };
    for (auto& [tic_missatge, e] : tots) {
        for (; t < tempos.size() && tempos[t].first <= tic_missatge; ++t) {
            avanca(tempos[t].first);
            if (tempos[t].second > 0) us_per_negra = tempos[t].second;
        }
        avanca(tic_missatge);
        e.ms = ms;
        e.tic = tic_missatge;
        sortida.push_back(e);
    }
    return sortida;
}

} // namespace brisola
