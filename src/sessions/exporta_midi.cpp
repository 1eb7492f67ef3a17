#include "sessions/exporta_midi.h"

#include "platform/lector_smf.h"
#include "sessions/transport_canco.h"

#include <QFile>

#include <algorithm>
#include <array>
#include <set>

namespace brisola {

namespace {

using missatge = std::array<uint8_t, 3>;

// One track's messages in time order, ending each channel's notes where it is silenced.
class pista {
public:
    void afegeix(int64_t ms, uint8_t estat, uint8_t d1, uint8_t d2) {
        const uint8_t canal = estat & 0x0f, tipus = estat & 0xf0;
        if (tipus == 0xb0 && (d1 == 120 || d1 == 123)) silencia(ms, canal);
        if (tipus == 0x90 && d2 > 0) {
            if (sonant_.count({canal, d1})) posa(ms, {uint8_t(0x80 | canal), d1, 0});
            sonant_.insert({canal, d1});
        }
        // A note already ended where its channel was silenced is not ended twice.
        if ((tipus == 0x80 || (tipus == 0x90 && d2 == 0)) && !sonant_.erase({canal, d1})) return;
        posa(ms, {estat, d1, tipus == 0xc0 || tipus == 0xd0 ? uint8_t(0) : d2});
    }
    void silencia(int64_t ms, int canal = -1) {
        for (auto it = sonant_.begin(); it != sonant_.end();) {
            if (canal >= 0 && it->first != canal) {
                ++it;
                continue;
            }
            posa(ms, {uint8_t(0x80 | it->first), uint8_t(it->second), 0});
            it = sonant_.erase(it);
        }
    }
    QByteArray bytes(const QByteArray& nom, bool tempo) {
        std::stable_sort(missatges_.begin(), missatges_.end(),
                         [](const auto& a, const auto& b) { return a.first < b.first; });
        QByteArray cos;
        meta(cos, 0x03, nom);
        // A beat of a second split in a thousand ticks: a tick is a millisecond.
        if (tempo) meta(cos, 0x51, QByteArray("\x0f\x42\x40", 3));
        int64_t abans = 0;
        for (const auto& [ms, m] : missatges_) {
            // A wait longer than a delta can say (three days) is bridged by empty texts.
            for (; ms - abans > delta_maxim; abans += delta_maxim) meta(cos, 0x01, {}, delta_maxim);
            vlq(cos, uint32_t(ms - abans));
            abans = ms;
            const bool curt = (m[0] & 0xf0) == 0xc0 || (m[0] & 0xf0) == 0xd0;
            cos.append(char(m[0])).append(char(m[1]));
            if (!curt) cos.append(char(m[2]));
        }
        meta(cos, 0x2f, {});
        return "MTrk" + be32(uint32_t(cos.size())) + cos;
    }

private:
    void posa(int64_t ms, missatge m) { missatges_.push_back({std::max<int64_t>(ms, 0), m}); }
    static void vlq(QByteArray& b, uint32_t v) {
        char bytes[5];
        int n = 0;
        bytes[n++] = char(v & 0x7f);
        while (v >>= 7) bytes[n++] = char(0x80 | (v & 0x7f));
        while (n) b.append(bytes[--n]);
    }
    static constexpr int64_t delta_maxim = 0x0fffffff;
    static void meta(QByteArray& b, uint8_t tipus, const QByteArray& dades, uint32_t delta = 0) {
        vlq(b, delta);
        b.append(char(0xff)).append(char(tipus));
        vlq(b, uint32_t(dades.size()));
        b.append(dades);
    }
    static QByteArray be32(uint32_t v) {
        return QByteArray(1, char(v >> 24)) + char(v >> 16) + char(v >> 8) + char(v);
    }
    std::vector<std::pair<int64_t, missatge>> missatges_;
    std::set<std::pair<int, int>> sonant_;
};

// Programs, controllers and bends stay in force: those given before the part begin it.
bool perdura(uint8_t estat, uint8_t d1) {
    const uint8_t tipus = estat & 0xf0;
    return tipus == 0xc0 || tipus == 0xe0 || (tipus == 0xb0 && d1 != 120 && d1 != 123);
}

// Live, a song plays on a synthesizer of its own: in the file its channels are
// apart from the instrument's while there are free ones. The drums stay on
// channel 10, and a channel the two share gets the instrument's settings back
// where the song falls silent.
class canals_canco {
public:
    explicit canals_canco(const sessio& s) : s_(s) {
        for (const auto& m : s.midi) instrument_[m.estat & 0x0f] = true;
    }
    uint8_t de(uint8_t canal) {
        if (mapa_[canal] < 0) {
            const auto lliure = std::find(instrument_.begin(), instrument_.end(), false);
            const bool apart = canal != 9 && lliure != instrument_.end();
            mapa_[canal] = apart ? int(lliure - instrument_.begin()) : canal;
            if (apart) *lliure = true;
            else compartits_.insert(canal);
        }
        return uint8_t(mapa_[canal]);
    }
    // The instrument's settings in force at the session's `ms` on each channel the song shares,
    // laid `des_de` earlier in the file.
    void restaura(int64_t ms, int64_t des_de, pista& p) const {
        const int64_t a = ms - des_de;
        for (uint8_t canal : compartits_) {
            p.afegeix(a, uint8_t(0xb0 | canal), 121, 0);
            p.afegeix(a, uint8_t(0xb0 | canal), 7, 100);
            p.afegeix(a, uint8_t(0xb0 | canal), 10, 64);
            p.afegeix(a, uint8_t(0xc0 | canal), 0, 0);
            for (const auto& m : s_.midi)
                if (m.ms <= ms && (m.estat & 0x0f) == canal && perdura(m.estat, m.dada1)) p.afegeix(a, m.estat, m.dada1, m.dada2);
        }
    }

private:
    const sessio& s_;
    std::array<bool, 16> instrument_{};
    std::array<int, 16> mapa_{-1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1};
    std::set<uint8_t> compartits_;
};

} // namespace

QByteArray smf_de_sessio(const sessio& s, const tros_sessio& tros, QStringList& absents) {
    const int64_t fi = std::min(tros.fins_a, s.durada_ms);
    pista punter, bateria, canco;
    auto llacuna = s.llacunes.begin();
    for (const auto& m : s.midi) {
        if (m.ms > fi) continue;
        // What was lost may have ended them: every note ends where the journal has a gap.
        for (; llacuna != s.llacunes.end() && llacuna->ms <= m.ms; ++llacuna)
            for (pista* p : {&punter, &bateria}) p->silencia(llacuna->ms - tros.des_de);
        if (m.ms < tros.des_de && !perdura(m.estat, m.dada1)) continue;
        ((m.estat & 0x0f) == 9 ? bateria : punter).afegeix(m.ms - tros.des_de, m.estat, m.dada1, m.dada2);
    }
    canals_canco canals(s);
    recorre_canco_midi(s, fi, absents, [&](int64_t ms, const esdeveniment_smf* e) {
        if (!e) {
            canco.silencia(ms - tros.des_de);
            return canals.restaura(ms, tros.des_de, canco);
        }
        const uint8_t estat = uint8_t((e->estat & 0xf0) | canals.de(e->estat & 0x0f));
        if (ms >= tros.des_de || perdura(e->estat, e->dada1)) canco.afegeix(ms - tros.des_de, estat, e->dada1, e->dada2);
    });
    const int64_t llargada = fi - tros.des_de;
    for (pista* p : {&punter, &bateria, &canco}) p->silencia(llargada);
    QByteArray capcalera("MThd\0\0\0\x06\0\x01\0\x03\x03\xe8", 14); // type 1, three tracks, 1000 ticks a beat
    return capcalera + punter.bytes("Punter", true) + bateria.bytes("Bateria", false) + canco.bytes("Canco", false);
}

} // namespace brisola
