#include "fitxer_ini.h"

#include "text_1252.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <optional>
#include <vector>

namespace brisola {

namespace {

struct linia {
    qsizetype inici = 0;   // byte offset of the line
    qsizetype fi = 0;      // offset just past its text, before its end of line
    qsizetype seguent = 0; // offset of the next line, past "\r\n", "\n" or a bare "\r"
    QString text;          // the line without its end
};

// A line ends at CR LF, LF or a bare CR, as files edited on any system end them.
std::vector<linia> parteix_linies(const QByteArray& bytes) {
    std::vector<linia> linies;
    qsizetype pos = 0;
    while (pos < bytes.size()) {
        qsizetype fi = pos;
        while (fi < bytes.size() && bytes[fi] != '\n' && bytes[fi] != '\r') ++fi;
        qsizetype seguent = fi;
        if (seguent < bytes.size() && bytes[seguent] == '\r') ++seguent;
        if (seguent < bytes.size() && bytes[seguent] == '\n') ++seguent;
        linies.push_back({pos, fi, seguent, des_de_1252(bytes.mid(pos, fi - pos))});
        pos = seguent;
    }
    return linies;
}

std::optional<QString> nom_de_seccio(const QString& text) {
    QString t = text.trimmed();
    if (!t.startsWith('[')) return std::nullopt;
    qsizetype tanca = t.indexOf(']');
    return (tanca < 0 ? t.mid(1) : t.mid(1, tanca - 1)).trimmed();
}

std::optional<QString> nom_de_clau(const QString& text) {
    qsizetype igual = text.indexOf('=');
    if (igual < 0) return std::nullopt;
    return text.left(igual).trimmed();
}

QString valor_de(const QString& text) {
    QString v = text.mid(text.indexOf('=') + 1).trimmed();
    if (v.size() >= 2 && v.front() == v.back() && (v.front() == '"' || v.front() == '\''))
        v = v.mid(1, v.size() - 2);
    return v;
}

bool mateix_nom(const QString& a, const QString& b) { return a.compare(b, Qt::CaseInsensitive) == 0; }

// Lines [primera, fi) of the first section of that name; primera is its header.
struct rang {
    size_t capcalera, fi;
};

std::optional<rang> troba_seccio(const std::vector<linia>& linies, const QString& seccio) {
    for (size_t i = 0; i < linies.size(); ++i) {
        auto nom = nom_de_seccio(linies[i].text);
        if (!nom || !mateix_nom(*nom, seccio)) continue;
        size_t fi = i + 1;
        while (fi < linies.size() && !nom_de_seccio(linies[fi].text)) ++fi;
        return rang{i, fi};
    }
    return std::nullopt;
}

std::optional<size_t> troba_clau(const std::vector<linia>& linies, rang r, const QString& clau) {
    for (size_t i = r.capcalera + 1; i < r.fi; ++i) {
        auto nom = nom_de_clau(linies[i].text);
        if (nom && mateix_nom(*nom, clau)) return i;
    }
    return std::nullopt;
}

std::optional<QByteArray> llegeix_tot(const QString& fitxer) {
    QFile f(fitxer);
    if (!f.open(QIODevice::ReadOnly)) return std::nullopt;
    return f.readAll();
}

// The file's own end of line (that of its first line), LF for a file that has none.
QByteArray final_de_linia(const std::vector<linia>& linies, const QByteArray& bytes) {
    for (const linia& l : linies)
        if (l.seguent > l.fi) return bytes.mid(l.fi, l.seguent - l.fi);
    return "\n";
}

QByteArray amb_clau(const QByteArray& bytes, const QString& seccio, const QString& clau, const QString& valor) {
    auto linies = parteix_linies(bytes);
    const QByteArray eol = final_de_linia(linies, bytes);
    const QByteArray nova = a_1252(clau + '=' + valor);
    auto r = troba_seccio(linies, seccio);
    if (!r) {
        QByteArray resultat = bytes;
        if (!linies.empty() && linies.back().seguent == linies.back().fi) resultat += eol;
        return resultat + a_1252('[' + seccio + ']') + eol + nova + eol;
    }
    if (auto i = troba_clau(linies, *r, clau)) {
        const linia& l = linies[*i];
        return bytes.left(l.inici) + nova + bytes.mid(l.fi);
    }
    // A new key goes after the section's last non-blank line.
    size_t darrera = r->capcalera;
    for (size_t i = r->capcalera + 1; i < r->fi; ++i)
        if (!linies[i].text.trimmed().isEmpty()) darrera = i;
    const linia& l = linies[darrera];
    if (l.seguent > l.fi) return bytes.left(l.seguent) + nova + eol + bytes.mid(l.seguent);
    return bytes + eol + nova + eol;
}

} // namespace

int GetPrivateProfileStringA(const QString& seccio, const QString& clau, const QString& per_defecte,
                             QString& bufer, int mida, const QString& fitxer) {
    QString valor = per_defecte;
    if (auto bytes = llegeix_tot(fitxer)) {
        auto linies = parteix_linies(*bytes);
        if (auto r = troba_seccio(linies, seccio))
            if (auto i = troba_clau(linies, *r, clau)) valor = valor_de(linies[*i].text);
    }
    bufer = valor.left(qMax(0, mida - 1));
    return static_cast<int>(bufer.size());
}

bool WritePrivateProfileStringA(const QString& seccio, const QString& clau, const QString& valor,
                                const QString& fitxer) {
    QByteArray bytes;
    if (QFileInfo::exists(fitxer)) {
        auto llegit = llegeix_tot(fitxer);
        if (!llegit) return false; // never replace a file we could not read: it would be lost
        bytes = *llegit;
    }
    QSaveFile f(fitxer);
    if (!f.open(QIODevice::WriteOnly)) return false;
    f.write(amb_clau(bytes, seccio, clau, valor));
    return f.commit();
}

QString cami_sense_majuscules(const QString& directori, const QString& nom) {
    QDir dir(directori);
    if (!dir.exists(nom))
        for (const QString& entrada : dir.entryList(QDir::Files | QDir::Hidden | QDir::System))
            if (entrada.compare(nom, Qt::CaseInsensitive) == 0) return dir.filePath(entrada);
    return dir.filePath(nom);
}

QString cami_del_cataleg(const QStringList& carpetes, const QString& nom) {
    if (QFileInfo(nom).isAbsolute() || carpetes.isEmpty()) return nom;
    for (const QString& carpeta : carpetes)
        if (QString cami = cami_sense_majuscules(carpeta, nom); QFileInfo::exists(cami)) return cami;
    return carpetes.first() + "/" + nom;
}

estat_fitxer examina_fitxer(const QString& fitxer) {
    if (!QFileInfo::exists(fitxer)) return estat_fitxer::absent;
    QFile f(fitxer);
    return f.open(QIODevice::ReadOnly) ? estat_fitxer::llegible : estat_fitxer::illegible;
}

} // namespace brisola
