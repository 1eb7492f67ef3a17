#include "sessions/diari.h"

#include "platform/volum_sistema.h"
#include "sessions/format_diari.h"
#include "sessions/textos_sessions.h"

#include <QDateTime>
#include <QFile>
#include <QFileInfo>

#include <fcntl.h>
#include <sys/stat.h>

#include <cmath>
#include <algorithm>
#include <cerrno>
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

// Each folder is its owner's from the moment it is made, the missing ones above it too.
bool obre_carpeta(const QString& cami) {
    const QString pare = QFileInfo(cami).path();
    if (pare != cami && !QFileInfo(pare).isDir() && !obre_carpeta(pare)) return false;
    const QByteArray nom = QFile::encodeName(cami);
    if (::mkdir(nom.constData(), 0700) != 0 && errno != EEXIST) return false;
    return ::chmod(nom.constData(), 0700) == 0;
}

// On the writer's side: the folders, then the file; two sessions in the same
// second (a person chosen again at once) get their own files.
escriptor_diari::obridor obridor_de(const QString& arrel, const QString& carpeta, const QString& nom) {
    return [=](QString& cami) {
        if (!obre_carpeta(arrel) || !obre_carpeta(carpeta)) return -1;
        for (int n = 1; n < 100; ++n) {
            cami = carpeta + "/" + nom + (n > 1 ? "-" + QString::number(n) : QString()) + ".diari";
            const int fd = ::open(QFile::encodeName(cami).constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
            if (fd >= 0 || errno != EEXIST) return fd;
        }
        return -1;
    };
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
    espera();
}

void diari::tanca() {
    recull_sentits();
    rellotge_->set_Enabled(false);
    if (escriptor_) {
        escriptor_->acaba();
        tancant_.push_back(std::move(escriptor_));
    }
    recull();
    darrer_lloc_.reset();
    darreres_tries_.clear();
}

void diari::recull() {
    std::erase_if(tancant_, [](const auto& e) { return e->acabat(); });
}

void diari::escriu(char tipus, int64_t ns, std::string camps) {
    if (escriptor_) escriptor_->escriu(tipus, ns, std::move(camps));
}

void diari::midi(uint32_t m, bool al_sintetitzador) {
    recull_sentits();
    const int64_t ns = r_.ara_ns() + r_.latencia_ns();
    if (auto clau = clau_estat(m)) canals_[*clau] = m;
    if (es_so(m)) {
        darrer_so_ = ns;
        if (!escriptor_ && !obre()) return;
    }
    if (!al_sintetitzador || !sentits_) escriu(linies::midi, ns, hex6(m));
}

// With no session, what was heard belongs to none; what is still on its way to the output
// when a session ends (one latency at most) is left to the export's end. A sound heard as
// one piece keeps the output's pace, which may lag the clock a little: nothing is laid
// before the session began.
void diari::recull_sentits() {
    if (!sentits_) return;
    while (const auto s = sentits_()) escriu(linies::midi, std::max(s->second, inici_), hex6(s->first));
}

// Songs are kept at the time they are heard, as the instrument's notes are.
void diari::canco(const QString& ordre) {
    const ordre_canco o = llegeix_ordre_canco(ordre);
    if (o.v == ordre_canco::verb::estat) return; // asked every second: changes nothing
    const int64_t ns = r_.ara_ns() + r_.latencia_ns();
    mira_finals();
    const bool sonava = cancons_.sona();
    cancons_.aplica(o);
    if (sonava || cancons_.sona()) darrer_so_ = ns; // the silence begins when the song stops
    // A session this opens begins with the song as the player has it: this command included.
    if (!escriptor_) {
        if (cancons_.sona()) obre();
        return;
    }
    escriu(linies::canco, ns, ordre.simplified().toStdString());
}

void diari::mira_finals() {
    if (!reproductor_) return;
    const finals_canco f = reproductor_->finals();
    const bool sonava = cancons_.sona();
    if (f.midi != finals_.midi) cancons_.midi.en_marxa = false;
    if (f.flux != finals_.flux) cancons_.flux.en_marxa = false;
    finals_ = f;
    if (sonava && !cancons_.sona()) darrer_so_ = r_.ara_ns();
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
    if (persona_.isEmpty() || ple_ || ns < proper_intent_ || !f_.actiu || !f_.actiu()) return false;
    recull_sentits();
    const QString nom = QDateTime::currentDateTime().toString("yyyy-MM-dd_HH-mm-ss");
    const escriptor_diari::info info{{"persona", persona_},
                                     {"inici", inici_amb_desfasament()},
                                     {"soundfont", soundfont_}};
    escriptor_ = std::make_unique<escriptor_diari>(obridor_de(arrel_, carpeta(persona_), nom), ns, info);
    inici_ = ns;
    escriu_estat();
    rellotge_->set_Enabled(true);
    return true;
}

// False when the session ended: its file could not be made (said once, tried again
// a minute later) or the disk is full (said once, no later session tries).
bool diari::mira_escriptor() {
    if (escriptor_->no_obert()) {
        if (!avisat_ && f_.avisa) f_.avisa(t_no_es_pot_escriure, {carpeta(persona_)});
        avisat_ = true;
        proper_intent_ = r_.ara_ns() + reintent_ms * 1000000;
    } else if (escriptor_->fallat()) {
        ple_ = true;
        if (f_.avisa) f_.avisa(t_disc_ple, {escriptor_->cami()});
    } else {
        return true;
    }
    tanca();
    return false;
}

// Only the choices that changed since the session last noted them.
void diari::tries_canviades() {
    if (!escriptor_ || !f_.tries) return;
    const int64_t ara = r_.ara_ns();
    for (const auto& tria : f_.tries()) {
        auto ja = std::find_if(darreres_tries_.begin(), darreres_tries_.end(),
                               [&](const auto& t) { return t.first == tria.first; });
        if (ja != darreres_tries_.end() && ja->second == tria.second) continue;
        escriu(linies::tria, ara, (tria.first + " " + tria.second).toStdString());
        if (ja != darreres_tries_.end()) ja->second = tria.second;
        else darreres_tries_.push_back(tria);
    }
}

void diari::escriu_estat() {
    const int64_t ns = r_.ara_ns();
    tries_canviades();
    tic();
    for (const auto& [clau, m] : canals_) escriu(linies::midi, ns, hex6(m));
    if (!nivells_.empty()) escriu(linies::nivells, ns, nivells_);
    escriu_cancons(ns);
}

// Which song, held or running, and where in it: from the player, so it begins where it is heard.
void diari::escriu_cancons(int64_t ns) {
    mira_finals();
    auto on = [&](const QString& nom) {
        return reproductor_ ? reproductor_->mciSendStringA("status " + nom + " position") : QString();
    };
    auto linia = [&](const QString& text) { escriu(linies::canco, ns, text.toStdString()); };
    if (const estat_canco& m = cancons_.midi; !m.nom.isEmpty()) {
        linia("open " + m.nom + " type sequencer alias mid1");
        if (m.retinguda) linia("set mid1 tempo 1");
        if (const QString tic = on("mid1"); !tic.isEmpty()) linia("seek mid1 to " + tic);
        if (m.en_marxa) linia("play mid1");
    }
    if (const estat_canco& f = cancons_.flux; !f.nom.isEmpty()) {
        const QString ms = on(f.nom);
        linia("play " + f.nom + (ms.isEmpty() ? QString() : " from " + ms));
        if (!f.en_marxa) linia("pause " + f.nom);
    }
}

void diari::tic() {
    recull();
    recull_sentits();
    if (!escriptor_ || !mira_escriptor()) return;
    const int64_t ara = r_.ara_ns();
    if (!f_.actiu()) return tanca(); // turned off in the person's settings
    mira_finals();
    if (!cancons_.sona() && (ara - darrer_so_) / 1000000 >= silenci_ms) return tanca();
    auto lloc = f_.punter ? f_.punter() : std::nullopt;
    if (!lloc || lloc == darrer_lloc_) return;
    darrer_lloc_ = lloc;
    const auto& l = *lloc;
    escriu(linies::punter, ara,
           std::to_string(l[0]) + " " + std::to_string(l[1]) + " " + std::to_string(l[2]) + " " + std::to_string(l[3]));
}

} // namespace brisola
