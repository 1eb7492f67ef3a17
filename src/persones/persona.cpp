#include "persona.h"

#include "persones/suavitzat.h"

#include <QFile>
#include <QSaveFile>
#include <QStringDecoder>

#include <algorithm>
#include <cmath>
#include <map>

namespace brisola {

namespace {

constexpr int llargada_maxima = 64;

// Each number of the file with its range: a value out of it is brought to its edge.
template <class T>
struct camp_enter {
    const char* clau;
    int T::*valor;
    int minim, maxim;
};
const camp_enter<persona> camps_persona[] = {
    {"acces", &persona::acces, -1, 3},          {"modalitat", &persona::modalitat, 0, 4},
    {"ritme", &persona::ritme, 0, 32767},       {"canco", &persona::canco, 0, 32767},
    {"instrument", &persona::instrument, 0, 32767}, {"velocitat", &persona::velocitat, -10, 5},
    {"mida_cursor", &persona::mida_cursor, -6, 6},
};
const camp_enter<ajuts> camps_ajuts[] = {
    {"suavitzat", &ajuts::suavitzat, 0, 2},
    {"suavitzat_fc", &ajuts::suavitzat_fc, 10, 1000},
    {"suavitzat_beta", &ajuts::suavitzat_beta, 0, 10000},
    {"abast_x0", &ajuts::abast_x0, 0, 1000},
    {"abast_y0", &ajuts::abast_y0, 0, 1000},
    {"abast_x1", &ajuts::abast_x1, 0, 1000},
    {"abast_y1", &ajuts::abast_y1, 0, 1000},
    {"pulsador_acceptacio", &ajuts::acceptacio, 0, 1000},
    {"pulsador_ignora", &ajuts::ignora, 0, 2000},
    {"volum", &ajuts::volum, 0, 100},
    {"acompanyament", &ajuts::acompanyament, -24, 6},
    {"cursor_contrast", &ajuts::cursor_contrast, 0, 25},
    {"tauler_pulsador", &ajuts::tauler_pulsador, 0, 10000},
    {"escombrat", &ajuts::escombrat, 300, 5000},
    {"tecla_seguent", &ajuts::tecla_seguent, 0, 0x7fffffff},
    {"tauler_cantonada", &ajuts::tauler_cantonada, 0, 4},
    {"repos", &ajuts::repos, 300, 5000},
    {"tolerancia", &ajuts::tolerancia, 0, 20},
};
template <class T>
struct camp_marca {
    const char* clau;
    bool T::*valor;
};
const camp_marca<ajuts> marques_ajuts[] = {{"graella", &ajuts::graella}, {"parla", &ajuts::parla}, {"diari", &ajuts::diari}};
const camp_marca<persona> camps_marques[] = {
    {"invertir_x", &persona::invertir_x}, {"invertir_y", &persona::invertir_y},
    {"per_moviment", &persona::per_moviment},
};

using valors = std::map<QString, QString>;

// Reads each field the file holds, into its range; each one that was out of it is named in `fora`.
template <class T, size_t N>
void llegeix_camps(const valors& v, const camp_enter<T> (&camps)[N], T& desti, QStringList& fora) {
    for (const camp_enter<T>& c : camps) {
        auto it = v.find(c.clau);
        bool ok = false;
        const int n = it == v.end() ? 0 : it->second.toInt(&ok);
        if (!ok) continue;
        desti.*c.valor = std::clamp(n, c.minim, c.maxim);
        if (desti.*c.valor != n) fora << QString("%1=%2").arg(c.clau, it->second);
    }
}

template <class T, size_t N>
void llegeix_marques(const valors& v, const camp_marca<T> (&camps)[N], T& desti) {
    for (const camp_marca<T>& c : camps)
        if (auto it = v.find(c.clau); it != v.end()) desti.*c.valor = it->second == "1";
}

template <class T, size_t N>
void escriu_marques(QString& text, const camp_marca<T> (&camps)[N], const T& font) {
    for (const camp_marca<T>& c : camps) text += QString("%1=%2\n").arg(c.clau).arg(font.*c.valor ? 1 : 0);
}

template <class T, size_t N>
void escriu_camps(QString& text, const camp_enter<T> (&camps)[N], const T& font) {
    for (const camp_enter<T>& c : camps) text += QString("%1=%2\n").arg(c.clau).arg(font.*c.valor);
}

// A reach too narrow to play in is no reach: the whole range again. A board
// held open sooner than two seconds would open at every long press.
void corregeix(ajuts& a, QStringList& fora) {
    if (a.tauler_pulsador > 0 && a.tauler_pulsador < 2000) {
        fora << QString("tauler_pulsador=%1").arg(a.tauler_pulsador);
        a.tauler_pulsador = 2000;
    }
    if (a.abast_x1 - a.abast_x0 >= 50 && a.abast_y1 - a.abast_y0 >= 50) return;
    fora << QString("abast_x0=%1 abast_y0=%2 abast_x1=%3 abast_y1=%4").arg(a.abast_x0).arg(a.abast_y0).arg(a.abast_x1).arg(a.abast_y1);
    const ajuts tot;
    a.abast_x0 = tot.abast_x0, a.abast_y0 = tot.abast_y0, a.abast_x1 = tot.abast_x1, a.abast_y1 = tot.abast_y1;
}

// A smoothing level named alone runs as its preset, not with the defaults' numbers.
void completa_suavitzat(const valors& v, ajuts& a) {
    if (!v.count("suavitzat")) return;
    const parametres_suavitzat p = parametres_de(nivell_suavitzat(a.suavitzat));
    if (!v.count("suavitzat_fc")) a.suavitzat_fc = int(std::lround(p.fc_minima * 100));
    if (!v.count("suavitzat_beta")) a.suavitzat_beta = int(std::lround(p.beta * 1e6));
}

std::optional<valors> valors_de(const QString& fitxer) {
    QFile f(fitxer);
    if (!f.open(QIODevice::ReadOnly)) return std::nullopt;
    QStringDecoder utf8(QStringDecoder::Utf8);
    QString text = utf8(f.readAll());
    if (utf8.hasError() || text.contains(QChar(0))) return std::nullopt; // not a text of ours
    valors v;
    bool seccio = false;
    for (const QString& linia : text.split('\n')) {
        QString l = linia.trimmed();
        if (l.startsWith('[')) seccio = l == "[persona]";
        else if (seccio && l.contains('=')) v.emplace(l.section('=', 0, 0).trimmed(), l.section('=', 1).trimmed());
    }
    return v;
}

} // namespace

std::optional<nom_refusat> examina_nom(const QString& nom) {
    if (nom.trimmed().isEmpty()) return nom_refusat::buit;
    if (nom.size() > llargada_maxima) return nom_refusat::massa_llarg;
    // The name is a file's name: no folders in it, and nothing a file system or a terminal would take amiss.
    if (nom.contains('/') || nom.contains('\\') || nom.contains("..") || nom.startsWith('.') ||
        std::any_of(nom.begin(), nom.end(), [](QChar c) { return c.category() == QChar::Other_Control; }))
        return nom_refusat::caracters;
    return std::nullopt;
}

persona_llegida llegeix_persona(const QString& fitxer, const QString& nom) {
    persona_llegida r;
    r.p.nom = nom;
    auto v = valors_de(fitxer);
    if (!v) {
        r.illegible = QFile::exists(fitxer);
        return r;
    }
    auto valor = [&](const char* clau) -> std::optional<QString> {
        auto it = v->find(clau);
        return it == v->end() ? std::nullopt : std::optional(it->second);
    };
    llegeix_camps(*v, camps_persona, r.p, r.fora_de_marge);
    llegeix_camps(*v, camps_ajuts, r.p.ajuts, r.fora_de_marge);
    corregeix(r.p.ajuts, r.fora_de_marge);
    completa_suavitzat(*v, r.p.ajuts);
    llegeix_marques(*v, camps_marques, r.p);
    llegeix_marques(*v, marques_ajuts, r.p.ajuts);
    r.p.fons = valor("fons").value_or(QString());
    r.p.cursor = valor("cursor").value_or(QString());
    return r;
}

bool desa_persona(const persona& p, const QString& fitxer) {
    QString text = "[persona]\n";
    escriu_camps(text, camps_persona, p);
    escriu_camps(text, camps_ajuts, p.ajuts);
    escriu_marques(text, marques_ajuts, p.ajuts);
    escriu_marques(text, camps_marques, p);
    text += "fons=" + p.fons + "\ncursor=" + p.cursor + "\n";
    QSaveFile f(fitxer);
    if (!f.open(QIODevice::WriteOnly)) return false;
    f.write(text.toUtf8());
    return f.commit();
}

} // namespace brisola
