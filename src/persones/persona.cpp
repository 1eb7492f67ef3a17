#include "persona.h"

#include <QFile>
#include <QSaveFile>
#include <QStringDecoder>

#include <algorithm>
#include <map>

namespace brisola {

namespace {

constexpr int llargada_maxima = 64;

// Each number of the file with its range: a value out of it is brought to its edge.
struct camp_enter {
    const char* clau;
    int persona::*valor;
    int minim, maxim;
};
const camp_enter camps_enters[] = {
    {"acces", &persona::acces, -1, 3},          {"modalitat", &persona::modalitat, 0, 4},
    {"ritme", &persona::ritme, 0, 32767},       {"canco", &persona::canco, 0, 32767},
    {"instrument", &persona::instrument, 0, 32767}, {"velocitat", &persona::velocitat, -10, 5},
    {"mida_cursor", &persona::mida_cursor, -6, 6},   {"pulsador_acceptacio", &persona::acceptacio, 0, 1000},
    {"pulsador_ignora", &persona::ignora, 0, 2000},
};
struct camp_marca {
    const char* clau;
    bool persona::*valor;
};
const camp_marca camps_marques[] = {
    {"invertir_x", &persona::invertir_x}, {"invertir_y", &persona::invertir_y},
    {"per_moviment", &persona::per_moviment},
};

std::optional<std::map<QString, QString>> valors_de(const QString& fitxer) {
    QFile f(fitxer);
    if (!f.open(QIODevice::ReadOnly)) return std::nullopt;
    QStringDecoder utf8(QStringDecoder::Utf8);
    QString text = utf8(f.readAll());
    if (utf8.hasError() || text.contains(QChar(0))) return std::nullopt; // not a text of ours
    std::map<QString, QString> valors;
    bool seccio = false;
    for (const QString& linia : text.split('\n')) {
        QString l = linia.trimmed();
        if (l.startsWith('[')) seccio = l == "[persona]";
        else if (seccio && l.contains('=')) valors.emplace(l.section('=', 0, 0).trimmed(), l.section('=', 1).trimmed());
    }
    return valors;
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
    auto valors = valors_de(fitxer);
    if (!valors) {
        r.illegible = QFile::exists(fitxer);
        return r;
    }
    auto valor = [&](const char* clau) -> std::optional<QString> {
        auto it = valors->find(clau);
        return it == valors->end() ? std::nullopt : std::optional(it->second);
    };
    for (const camp_enter& c : camps_enters) {
        auto v = valor(c.clau);
        bool ok = false;
        int n = v ? v->toInt(&ok) : 0;
        if (!ok) continue;
        r.p.*c.valor = std::clamp(n, c.minim, c.maxim);
        r.retallada = r.retallada || r.p.*c.valor != n;
    }
    for (const camp_marca& c : camps_marques)
        if (auto v = valor(c.clau)) r.p.*c.valor = *v == "1";
    r.p.fons = valor("fons").value_or(QString());
    r.p.cursor = valor("cursor").value_or(QString());
    return r;
}

bool desa_persona(const persona& p, const QString& fitxer) {
    QString text = "[persona]\n";
    for (const camp_enter& c : camps_enters) text += QString("%1=%2\n").arg(c.clau).arg(p.*c.valor);
    for (const camp_marca& c : camps_marques) text += QString("%1=%2\n").arg(c.clau).arg(p.*c.valor ? 1 : 0);
    text += "fons=" + p.fons + "\ncursor=" + p.cursor + "\n";
    QSaveFile f(fitxer);
    if (!f.open(QIODevice::WriteOnly)) return false;
    f.write(text.toUtf8());
    return f.commit();
}

} // namespace brisola
