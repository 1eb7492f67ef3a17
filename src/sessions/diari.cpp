#include "sessions/diari.h"

#include "platform/volum_sistema.h"
#include "sessions/format_diari.h"
#include "sessions/textos_sessions.h"

#include <QDateTime>
#include <QDir>
#include <QFile>

#include <cmath>
#include <algorithm>
#include <cstdio>

namespace brisola {

namespace {

bool es_so(uint32_t m) { return (m & 0xf0) == 0x90 && ((m >> 16) & 0x7f) > 0; }

// Programs, controllers and bends stay in force until changed: a later session begins with them.
std::optional<uint16_t> clau_estat(uint32_t m) {
    const uint32_t tipus = m & 0xf0;
    if (tipus == 0xc0 || tipus == 0xe0) return uint16_t(m & 0xff);
    if (tipus == 0xb0) return uint16_t((m & 0xff) | (m & 0x7f00));
    return std::nullopt;
}

std::string hex6(uint32_t m) {
    char text[8];
    std::snprintf(text, sizeof text, "%02x%02x%02x", m & 0xff, (m >> 8) & 0xff, (m >> 16) & 0xff);
    return text;
}

// Local time with its offset from UTC, to the millisecond: two starts in one second, or in
// an hour the clocks repeat, still tell which came first.
QString inici_amb_desfasament() {
    const QDateTime ara = QDateTime::currentDateTime();
    return ara.toOffsetFromUtc(ara.offsetFromUtc()).toString(Qt::ISODateWithMs);
}

bool obre_carpeta(const QString& cami) {
    if (!QDir().mkpath(cami)) return false;
    return QFile::setPermissions(cami, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
}

} // namespace

diari::diari(const QString& arrel, rellotges r, const QString& soundfont)
    : arrel_(arrel), r_(std::move(r)), soundfont_(soundfont), rellotge_(r_.temps.crea()) {
    rellotge_->on_tick([this] { tic(); });
    rellotge_->set_Interval(periode_ms);
}

diari::~diari() { tanca(); }

void diari::set_persona(const QString& nom) {
    tanca();
    persona_ = nom;
    avisat_ = false;
}

void diari::acaba() {
    set_persona({});
    f_ = {};
}

void diari::tanca() {
    rellotge_->set_Enabled(false);
    escriptor_.reset();
    fitxer_.clear();
    darrer_lloc_.reset();
    darreres_tries_.clear();
}

void diari::escriu(char tipus, int64_t ns, std::string camps) {
    if (escriptor_) escriptor_->escriu(tipus, ns, std::move(camps));
}

void diari::midi(uint32_t m) {
    const int64_t ns = r_.ara_ns() + r_.latencia_ns();
    if (auto clau = clau_estat(m)) canals_[*clau] = m;
    if (es_so(m)) {
        darrer_so_ = ns;
        if (!escriptor_ && !obre()) return;
    }
    escriu(linies::midi, ns, hex6(m));
}

void diari::canco(const QString& ordre, bool sona) {
    const int64_t ns = r_.ara_ns();
    const std::string text = ordre.simplified().toStdString();
    const QString verb = ordre.simplified().section(' ', 0, 0).toLower();
    if (verb == "open" || (verb == "play" && !ordre.contains("mid1", Qt::CaseInsensitive))) ordres_canco_.clear();
    if (verb == "close") ordres_canco_.clear();
    else ordres_canco_.push_back(text);
    if (ordres_canco_.size() > 8) ordres_canco_.erase(ordres_canco_.begin() + 1); // the opening and the latest
    if (canco_sona_ || sona) darrer_so_ = ns; // the silence begins when the song stops
    canco_sona_ = sona;
    if (sona && !escriptor_ && !obre()) return;
    escriu(linies::canco, ns, text);
}

void diari::canco_aturada() {
    if (canco_sona_) darrer_so_ = r_.ara_ns();
    canco_sona_ = false;
}

void diari::pulsador(bool premsa, bool acceptada) {
    escriu(acceptada ? linies::acceptat : linies::pulsador, r_.ara_ns(), premsa ? "1" : "0");
}

void diari::nivells(const guanys_so& g) {
    auto deumil = [](double v) { return std::to_string(std::lround(v * 10000)); };
    std::string camps = deumil(g.sintetitzador) + " " + deumil(g.cancons);
    for (double c : g.canals) camps += " " + deumil(c);
    nivells_ = camps;
    escriu(linies::nivells, r_.ara_ns(), camps);
}

bool diari::obre() {
    const int64_t ns = r_.ara_ns();
    if (persona_.isEmpty() || ple_ || !f_.actiu || !f_.actiu()) return false;
    const QString carpeta_persona = carpeta(persona_);
    const QString nom = QDateTime::currentDateTime().toString("yyyy-MM-dd_HH-mm-ss");
    std::unique_ptr<escriptor_diari> nou;
    QString cami;
    if (obre_carpeta(arrel_) && obre_carpeta(carpeta_persona)) {
        const escriptor_diari::info info{{"persona", persona_},
                                         {"inici", inici_amb_desfasament()},
                                         {"soundfont", soundfont_}};
        // Two sessions in the same second (a person chosen again at once) get their own files.
        for (int n = 1; !nou && n < 100; ++n) {
            cami = carpeta_persona + "/" + nom + (n > 1 ? "-" + QString::number(n) : QString()) + ".diari";
            nou = escriptor_diari::obre(cami, ns, info);
            if (!nou && !QFile::exists(cami)) break;
        }
    }
    if (!nou) {
        if (!avisat_ && f_.avisa) f_.avisa(t_no_es_pot_escriure, {carpeta_persona});
        avisat_ = true;
        return false;
    }
    escriptor_ = std::move(nou);
    fitxer_ = cami;
    escriu_estat();
    rellotge_->set_Enabled(true);
    return true;
}

void diari::escriu_estat() {
    const int64_t ns = r_.ara_ns();
    tic();
    for (const auto& [clau, m] : canals_) escriu(linies::midi, ns, hex6(m));
    if (!nivells_.empty()) escriu(linies::nivells, ns, nivells_);
    for (const std::string& o : ordres_canco_) escriu(linies::canco, ns, o);
}

void diari::tic() {
    if (!escriptor_) return;
    if (escriptor_->fallat()) {
        ple_ = true; // told once: no later session tries again
        if (f_.avisa) f_.avisa(t_disc_ple, {fitxer_});
        tanca();
        return;
    }
    const int64_t ara = r_.ara_ns();
    if (!f_.actiu()) return tanca(); // turned off in the person's settings
    if (!canco_sona_ && (ara - darrer_so_) / 1000000 >= silenci_ms) return tanca();
    for (const auto& tria : f_.tries ? f_.tries() : escriptor_diari::info{}) {
        auto ja = std::find_if(darreres_tries_.begin(), darreres_tries_.end(),
                               [&](const auto& t) { return t.first == tria.first; });
        if (ja != darreres_tries_.end() && ja->second == tria.second) continue;
        escriu(linies::tria, ara, (tria.first + " " + tria.second).toStdString());
        if (ja != darreres_tries_.end()) ja->second = tria.second;
        else darreres_tries_.push_back(tria);
    }
    auto lloc = f_.punter ? f_.punter() : std::nullopt;
    if (!lloc || lloc == darrer_lloc_) return;
    darrer_lloc_ = lloc;
    const auto& l = *lloc;
    escriu(linies::punter, ara,
           std::to_string(l[0]) + " " + std::to_string(l[1]) + " " + std::to_string(l[2]) + " " + std::to_string(l[3]));
}

} // namespace brisola
