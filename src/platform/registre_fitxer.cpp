#include "registre_fitxer.h"

#include <QFile>
#include <QStringList>

namespace brisola {

namespace {

// A quoted text at the start of t, with its \\ and \" escapes; the rest of t after it.
std::optional<std::pair<QString, QString>> text_entre_cometes(const QString& t) {
    if (!t.startsWith('"')) return std::nullopt;
    QString text;
    for (qsizetype i = 1; i < t.size(); ++i) {
        if (t[i] == '\\' && i + 1 < t.size()) text += t[++i];
        else if (t[i] == '"') return std::pair(text, t.mid(i + 1));
        else text += t[i];
    }
    return std::nullopt;
}

std::optional<QByteArray> bytes_hex(const QString& t) {
    QByteArray bytes;
    for (const QString& b : t.split(',', Qt::SkipEmptyParts)) {
        bool ok = false;
        int v = b.trimmed().toInt(&ok, 16);
        if (!ok || v < 0 || v > 255) return std::nullopt;
        bytes += char(v);
    }
    return bytes;
}

std::optional<valor_registre> valor_de(const QString& t) {
    if (auto text = text_entre_cometes(t)) return valor_registre{REG_SZ, text->first.toUtf8() + '\0'};
    if (t.startsWith("dword:", Qt::CaseInsensitive)) {
        bool ok = false;
        uint32_t v = t.mid(6).trimmed().toUInt(&ok, 16);
        if (!ok) return std::nullopt;
        QByteArray bytes;
        for (int i = 0; i < 4; ++i) bytes += char(v >> (8 * i) & 0xFF);
        return valor_registre{REG_DWORD, bytes};
    }
    if (t.startsWith("hex:", Qt::CaseInsensitive))
        if (auto b = bytes_hex(t.mid(4))) return valor_registre{REG_BINARY, *b};
    if (t.startsWith("hex(", Qt::CaseInsensitive)) {
        qsizetype tanca = t.indexOf("):");
        bool ok = false;
        uint32_t tipus = t.mid(4, tanca - 4).toUInt(&ok, 16);
        if (tanca > 0 && ok)
            if (auto b = bytes_hex(t.mid(tanca + 2))) return valor_registre{tipus, *b};
    }
    return std::nullopt;
}

// Lines ending in a backslash go on in the next one, as long hex values are written.
QStringList linies_de(const QByteArray& bytes) {
    QStringList linies;
    QString actual;
    for (QString l : QString::fromUtf8(bytes).split('\n')) {
        l = l.trimmed();
        if (l.endsWith(",\\")) {
            actual += l.chopped(1);
            continue;
        }
        linies << actual + l;
        actual.clear();
    }
    return linies;
}

} // namespace

registre_fitxer::registre_fitxer(const QString& fitxer) {
    QFile f(fitxer);
    if (f.open(QIODevice::ReadOnly)) llegeix(f.readAll());
}

registre_fitxer registre_fitxer::de_bytes(const QByteArray& bytes) {
    registre_fitxer r;
    r.llegeix(bytes);
    return r;
}

void registre_fitxer::llegeix(const QByteArray& bytes) {
    std::map<QString, valor_registre>* clau = nullptr;
    for (const QString& l : linies_de(bytes)) {
        if (l.startsWith('[') && l.endsWith(']')) {
            clau = &claus_[l.mid(1, l.size() - 2).toUpper()];
            continue;
        }
        if (!clau) continue;
        QString nom, resta;
        if (l.startsWith('@')) {
            resta = l.mid(1);
        } else if (auto t = text_entre_cometes(l)) {
            nom = t->first;
            resta = t->second;
        } else {
            continue;
        }
        if (!resta.startsWith('=')) continue;
        if (auto v = valor_de(resta.mid(1))) (*clau)[nom.toUpper()] = *v;
    }
}

std::optional<valor_registre> registre_fitxer::valor(const QString& clau, const QString& nom) const {
    auto k = claus_.find(clau.toUpper());
    if (k == claus_.end()) return std::nullopt;
    auto v = k->second.find(nom.toUpper());
    if (v == k->second.end()) return std::nullopt;
    return v->second;
}

} // namespace brisola
