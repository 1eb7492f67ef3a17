#include "sessions/finestra_sessions.h"

#include "sessions/grafics_sessions.h"
#include "sessions/informe_pdf.h"
#include "sessions/llista_sessions.h"
#include "sessions/mapa_calor.h"
#include "sessions/textos_sessions.h"

#include <QChartView>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPdfWriter>
#include <QPushButton>
#include <QSaveFile>
#include <QTableWidget>

#include <algorithm>
#include <cmath>

namespace brisola {

namespace {

QString durada(int64_t ms) {
    const int64_t s = ms / 1000;
    return QString("%1:%2:%3").arg(s / 3600).arg(s / 60 % 60, 2, 10, QChar('0')).arg(s % 60, 2, 10, QChar('0'));
}

// Exports are the person's own until they choose to share them.
bool obre_privat(QSaveFile& f) {
    return f.open(QIODevice::WriteOnly) && f.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner);
}

QString cami_csv(const QString& pdf) { return QFileInfo(pdf).path() + "/" + QFileInfo(pdf).completeBaseName() + ".csv"; }

} // namespace

finestra_sessions::finestra_sessions(const QString& idioma, dialegs d) : idioma_(idioma), dialegs_(std::move(d)) {
    titol_ = new QLabel;
    titol_->setStyleSheet("font-size: 16pt; font-weight: bold");
    taula_ = new QTableWidget(0, 5);
    taula_->setObjectName("sessions");
    taula_->setSelectionBehavior(QAbstractItemView::SelectRows);
    taula_->setSelectionMode(QAbstractItemView::SingleSelection);
    taula_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    taula_->horizontalHeader()->setStretchLastSection(true);
    mapa_ = new mapa_calor;
    figures_ = new QLabel;
    figures_->setWordWrap(true);
    grafics_ = new QGridLayout;
    auto* dreta = new QVBoxLayout;
    dreta->addWidget(mapa_, 2);
    dreta->addWidget(figures_);
    dreta->addLayout(grafics_, 3);
    auto* cos = new QHBoxLayout;
    cos->addWidget(taula_, 1);
    cos->addLayout(dreta, 2);

    auto* botons = new QHBoxLayout;
    const std::pair<int, std::function<void()>> accions[] = {{t_exporta, [this] { exporta_demanat(); }},
                                                              {t_esborra, [this] { esborra(); }},
                                                              {t_esborra_totes, [this] { esborra_totes(); }},
                                                              {t_tanca, [this] { close(); }}};
    for (const auto& [text, accio] : accions) {
        auto* b = new QPushButton(t(text));
        connect(b, &QPushButton::clicked, this, accio);
        botons->addWidget(b);
        botons_.emplace_back(b, text);
    }
    estat_ = new QLabel;
    estat_->setObjectName("estat");
    estat_->setWordWrap(true);
    auto* tot = new QVBoxLayout(this);
    tot->addWidget(titol_);
    tot->addLayout(cos);
    tot->addWidget(estat_);
    tot->addLayout(botons);
    connect(taula_, &QTableWidget::currentCellChanged, this, [this](int fila) { tria(fila); });
    resize(1100, 750);
}

finestra_sessions::~finestra_sessions() = default;

QString finestra_sessions::t(int text, const QStringList& dades) const { return text_sessions(idioma_, text, dades); }

// Each choice as the menus name it now; as the journal kept it when they no longer do.
QString finestra_sessions::noms(const temps_tries& temps, const QString& clau) const {
    QStringList noms;
    for (const auto& [index, tria] : temps) {
        const QString ara = dialegs_.nom ? dialegs_.nom(clau, index).trimmed() : QString();
        if (const QString nom = ara.isEmpty() ? tria.nom : ara; !nom.isEmpty()) noms << nom;
    }
    return noms.join(" / ");
}

QString finestra_sessions::data(const fila_informe& f) const {
    return f.inici.toString("yyyy-MM-dd HH:mm") + (f.en_curs ? " (" + t(t_en_curs) + ")" : QString());
}

void finestra_sessions::omple(const QString& persona, const QStringList& fitxers, const QString& en_curs) {
    persona_ = persona;
    fitxers_ = fitxers;
    en_curs_ = en_curs;
    files_.clear();
    for (const QString& f : fitxers) {
        auto s = llegeix_sessio(f);
        if (!s) continue;
        int64_t perduts = 0;
        for (const auto& l : s->llacunes) perduts += l.perduts;
        files_.push_back({f, inici_de_sessio(*s, f), xifres_de(*s), s->passades, f == en_curs, perduts});
    }
    std::stable_sort(files_.begin(), files_.end(), [](const auto& a, const auto& b) { return a.inici < b.inici; });
    mostra();
    tria(files() - 1);
}

void finestra_sessions::set_idioma(const QString& idioma) {
    idioma_ = idioma;
    for (const auto& [boto, text] : botons_) boto->setText(t(text));
    const int fila = taula_->currentRow();
    mostra();
    tria(fila);
}

void finestra_sessions::mostra() {
    setWindowTitle(t(t_informe, {persona_}));
    titol_->setText(t(t_informe, {persona_}));
    omple_taula();
    omple_grafics();
}

int finestra_sessions::files() const { return int(files_.size()); }

void finestra_sessions::omple_taula() {
    QSignalBlocker bloqueig(taula_);
    taula_->setHorizontalHeaderLabels({t(t_data), t(t_durada), t(t_modalitats), t(t_acces), t(t_instrument)});
    taula_->setRowCount(files());
    for (int i = 0; i < files(); ++i) {
        const auto& f = files_[size_t(i)];
        const QString celes[] = {data(f), durada(f.x.durada_ms), noms(f.x.modalitats, "modalitat"),
                                 noms(f.x.acces, "acces"), noms(f.x.instruments, "instrument")};
        for (int c = 0; c < 5; ++c) taula_->setItem(i, c, new QTableWidgetItem(celes[c]));
        // A session with gaps says so: its figures count less than was played.
        if (f.perduts > 0) {
            taula_->item(i, 1)->setText(celes[1] + " ⚠");
            taula_->item(i, 1)->setToolTip(t(t_llacunes, {QString::number(f.perduts)}));
        }
    }
    taula_->resizeColumnsToContents();
}

QString finestra_sessions::figures(const xifres& x) const {
    QStringList temps;
    for (const auto& [index, tria] : x.modalitats) temps << noms({{index, tria}}, "modalitat") + " " + durada(tria.ms);
    return t(t_durada) + ": " + durada(x.durada_ms) + " · " + t(t_abast) + QString(": %1 · ").arg(std::lround(x.abast * 100)) +
           t(t_notes_minut) + QString(": %1 · ").arg(x.notes_minut, 0, 'f', 1) +
           t(t_premuda, {QString::number(x.premses), QString::number(x.premuda_s, 'f', 2)}) + "\n" +
           t(t_temps_modalitat) + ": " + temps.join(", ");
}

void finestra_sessions::tria(int fila) {
    if (fila < 0 || fila >= files()) {
        mapa_->set_mapa({});
        figures_->clear();
        return;
    }
    if (taula_->currentRow() != fila) taula_->selectRow(fila);
    mapa_->set_mapa(files_[size_t(fila)].x.mapa);
    figures_->setText(figures(files_[size_t(fila)].x));
}

// The finished sessions only: the one under way would pull every line down.
std::vector<serie_tendencia> finestra_sessions::series() const {
    const std::pair<int, std::function<double(const xifres&)>> quines[] = {
        {t_durada, [](const xifres& x) { return double(x.durada_ms) / 60000.0; }},
        {t_abast, [](const xifres& x) { return x.abast * 100; }},
        {t_notes_minut, [](const xifres& x) { return x.notes_minut; }},
        {t_premses, [](const xifres& x) { return double(x.premses); }}};
    std::vector<serie_tendencia> series;
    for (const auto& [text, valor] : quines) {
        serie_tendencia s{t(text) + (text == t_durada ? " (min)" : ""), text == t_premses, {}};
        for (const auto& f : files_)
            if (!f.en_curs) s.punts.emplace_back(f.inici, valor(f.x));
        series.push_back(std::move(s));
    }
    return series;
}

void finestra_sessions::omple_grafics() {
    while (QLayoutItem* item = grafics_->takeAt(0)) {
        delete item->widget();
        delete item;
    }
    int lloc = 0;
    for (const serie_tendencia& serie : series()) {
        auto* vista = new QChartView(grafic_tendencia(serie));
        vista->setRenderHint(QPainter::Antialiasing);
        vista->setMinimumHeight(180);
        grafics_->addWidget(vista, lloc / 2, lloc % 2);
        ++lloc;
    }
}

QString finestra_sessions::csv() const {
    auto camp = [](QString text) { return "\"" + text.replace("\"", "\"\"") + "\""; };
    QString text = "data,durada_s,modalitats,notes_minut,abast_percent,premses,premuda_s,linies_passades\n";
    for (const auto& f : files_)
        text += QStringList{f.inici.toString(Qt::ISODate), QString::number(f.x.durada_ms / 1000.0, 'f', 1),
                            camp(noms(f.x.modalitats, "modalitat")), QString::number(f.x.notes_minut, 'f', 2),
                            QString::number(f.x.abast * 100, 'f', 1), QString::number(f.x.premses),
                            QString::number(f.x.premuda_s, 'f', 3), QString::number(f.passades)}
                    .join(',') +
                "\n";
    return text;
}

dades_informe finestra_sessions::dades() const {
    dades_informe d;
    d.titol = t(t_informe, {persona_});
    if (!files_.empty())
        d.periode = t(t_periode, {files_.front().inici.toString("dd/MM/yyyy"), files_.back().inici.toString("dd/MM/yyyy"),
                                  QString::number(files())});
    d.capcaleres = {t(t_data), t(t_durada) + " (h:mm:ss)", t(t_notes_minut), t(t_abast), t(t_premses),
                    t(t_premuda_mitjana), t(t_modalitats), t(t_acces), t(t_instrument)};
    for (const auto& f : files_)
        d.files.push_back({data(f), durada(f.x.durada_ms), QString::number(f.x.notes_minut, 'f', 1),
                           QString::number(std::lround(f.x.abast * 100)), QString::number(f.x.premses),
                           QString::number(f.x.premuda_s, 'f', 2), noms(f.x.modalitats, "modalitat"),
                           noms(f.x.acces, "acces"), noms(f.x.instruments, "instrument")});
    const int fila = taula_->currentRow();
    if (fila >= 0 && fila < files()) {
        d.titol_mapa = t(t_mapa_de, {data(files_[size_t(fila)])});
        d.xifres_mapa = figures(files_[size_t(fila)].x);
        d.mapa = files_[size_t(fila)].x.mapa;
    }
    d.titol_tendencies = t(t_tendencies);
    d.series = series();
    return d;
}

QString finestra_sessions::exporta(const QString& pdf) {
    QSaveFile document(pdf);
    if (!obre_privat(document)) return t(t_no_exportat, {pdf, document.errorString()});
    bool pintat = false;
    {
        QPdfWriter escriptor(&document);
        pintat = pinta_informe(escriptor, dades());
    }
    if (!pintat) document.cancelWriting();
    if (!document.commit()) return t(t_no_exportat, {pdf, document.errorString()});
    QSaveFile taula(cami_csv(pdf));
    if (!obre_privat(taula) || taula.write(csv().toUtf8()) < 0 || !taula.commit())
        return t(t_no_exportat, {cami_csv(pdf), taula.errorString()});
    return {};
}

void finestra_sessions::exporta_demanat() {
    const QString proposat = QDir::homePath() + "/" + persona_ + ".pdf";
    QString filtre = "PDF (*.pdf)";
    const QString pdf = dialegs_.desti(t(t_exporta).remove('&').remove("…"), proposat, filtre, filtre);
    if (pdf.isEmpty()) return;
    const QString error = exporta(pdf);
    estat_->setText(error.isEmpty() ? t(t_exportat_informe, {pdf, cami_csv(pdf)}) : error);
}

void finestra_sessions::esborra() {
    const int fila = taula_->currentRow();
    if (fila < 0 || fila >= files()) return;
    const auto& f = files_[size_t(fila)];
    if (!dialegs_.confirma(t(t_confirma_esborra, {f.inici.toString("yyyy-MM-dd HH:mm")}))) return;
    esborra_fitxers({f.fitxer});
}

// Every journal the window was given, also those that do not read as one (cut in their first moment, spoiled).
void finestra_sessions::esborra_totes() {
    if (fitxers_.isEmpty() || !dialegs_.confirma(t(t_confirma_totes, {persona_, QString::number(fitxers_.size())})))
        return;
    esborra_fitxers(fitxers_);
}

// A file that could not be deleted stays listed, and is named with the reason.
void finestra_sessions::esborra_fitxers(const QStringList& fitxers) {
    QStringList resta = fitxers_, errors;
    for (const QString& cami : fitxers) {
        QFile f(cami);
        if (f.remove()) resta.removeAll(cami);
        else errors << t(t_no_esborrat, {cami, f.errorString()});
    }
    omple(persona_, resta, en_curs_);
    estat_->setText(errors.join("\n"));
}

} // namespace brisola
