#include "sessions/finestra_sessions.h"

#include "sessions/mapa_calor.h"
#include "sessions/textos_sessions.h"

#include <QChart>
#include <QChartView>
#include <QDateTimeAxis>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineSeries>
#include <QPainter>
#include <QPdfWriter>
#include <QPushButton>
#include <QSaveFile>
#include <QTableWidget>
#include <QValueAxis>

namespace brisola {

namespace {

QString durada(int64_t ms) {
    const int64_t s = ms / 1000;
    return QString("%1:%2:%3").arg(s / 3600).arg(s / 60 % 60, 2, 10, QChar('0')).arg(s % 60, 2, 10, QChar('0'));
}

QString modalitats(const xifres& x) {
    QStringList noms;
    for (const auto& [nom, ms] : x.modalitats) noms << nom;
    return noms.join(" / ");
}

// Exports are the person's own until they choose to share them.
bool obre_privat(QSaveFile& f) {
    return f.open(QIODevice::WriteOnly) && f.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner);
}

} // namespace

finestra_sessions::finestra_sessions(const QString& idioma, dialegs d) : idioma_(idioma), dialegs_(std::move(d)) {
    informe_ = new QWidget;
    titol_ = new QLabel;
    titol_->setStyleSheet("font-size: 16pt; font-weight: bold");
    taula_ = new QTableWidget(0, 3);
    taula_->setObjectName("sessions");
    taula_->setSelectionBehavior(QAbstractItemView::SelectRows);
    taula_->setSelectionMode(QAbstractItemView::SingleSelection);
    taula_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    taula_->horizontalHeader()->setStretchLastSection(true);
    mapa_ = new mapa_calor;
    figures_ = new QLabel;
    grafics_ = new QGridLayout;
    auto* dreta = new QVBoxLayout;
    dreta->addWidget(mapa_, 2);
    dreta->addWidget(figures_);
    dreta->addLayout(grafics_, 3);
    auto* cos = new QHBoxLayout;
    cos->addWidget(taula_, 1);
    cos->addLayout(dreta, 2);
    auto* capa = new QVBoxLayout(informe_);
    capa->addWidget(titol_);
    capa->addLayout(cos);

    auto* botons = new QHBoxLayout;
    const std::pair<int, std::function<void()>> accions[] = {{t_exporta, [this] { exporta_demanat(); }},
                                                              {t_esborra, [this] { esborra(); }},
                                                              {t_esborra_totes, [this] { esborra_totes(); }},
                                                              {t_tanca, [this] { close(); }}};
    for (const auto& [text, accio] : accions) {
        auto* b = new QPushButton(t(text));
        connect(b, &QPushButton::clicked, this, accio);
        botons->addWidget(b);
    }
    estat_ = new QLabel; // outside the report: what was saved is no part of the next PDF
    estat_->setObjectName("estat");
    auto* tot = new QVBoxLayout(this);
    tot->addWidget(informe_);
    tot->addWidget(estat_);
    tot->addLayout(botons);
    connect(taula_, &QTableWidget::currentCellChanged, this, [this](int fila) { tria(fila); });
    resize(1100, 750);
}

finestra_sessions::~finestra_sessions() = default;

QString finestra_sessions::t(int text, const QStringList& dades) const { return text_sessions(idioma_, text, dades); }

void finestra_sessions::omple(const QString& persona, const QStringList& fitxers) {
    persona_ = persona;
    fitxers_ = fitxers;
    setWindowTitle(t(t_informe, {persona}));
    titol_->setText(t(t_informe, {persona}));
    files_.clear();
    for (const QString& f : fitxers) {
        auto s = llegeix_sessio(f);
        if (!s) continue;
        QDateTime inici = QDateTime::fromString(s->info.value("inici"), Qt::ISODate);
        if (!inici.isValid()) inici = QFileInfo(f).lastModified();
        files_.push_back({f, inici, xifres_de(*s), s->passades});
    }
    omple_taula();
    omple_grafics();
    tria(files() - 1);
}

int finestra_sessions::files() const { return int(files_.size()); }

void finestra_sessions::omple_taula() {
    QSignalBlocker bloqueig(taula_);
    taula_->setHorizontalHeaderLabels({t(t_data), t(t_durada), t(t_modalitats)});
    taula_->setRowCount(files());
    for (int i = 0; i < files(); ++i) {
        const auto& f = files_[size_t(i)];
        const QString celes[] = {f.inici.toString("yyyy-MM-dd HH:mm"), durada(f.x.durada_ms), modalitats(f.x)};
        for (int c = 0; c < 3; ++c) taula_->setItem(i, c, new QTableWidgetItem(celes[c]));
    }
    taula_->resizeColumnsToContents();
}

void finestra_sessions::tria(int fila) {
    if (fila < 0 || fila >= files()) {
        mapa_->set_mapa({});
        figures_->clear();
        return;
    }
    if (taula_->currentRow() != fila) taula_->selectRow(fila);
    const xifres& x = files_[size_t(fila)].x;
    mapa_->set_mapa(x.mapa);
    QStringList temps;
    for (const auto& [nom, ms] : x.modalitats) temps << nom + " " + durada(ms);
    figures_->setText(t(t_abast) + QString(": %1 · ").arg(std::lround(x.abast * 100)) + t(t_notes_minut) +
                      QString(": %1 · ").arg(x.notes_minut, 0, 'f', 1) +
                      t(t_premuda, {QString::number(x.premses), QString::number(x.premuda_s, 'f', 2)}) + "\n" +
                      t(t_temps_modalitat) + ": " + temps.join(", "));
}

void finestra_sessions::omple_grafics() {
    while (QLayoutItem* item = grafics_->takeAt(0)) {
        delete item->widget();
        delete item;
    }
    const std::pair<int, std::function<double(const xifres&)>> series[] = {
        {t_durada, [](const xifres& x) { return double(x.durada_ms) / 60000.0; }},
        {t_abast, [](const xifres& x) { return x.abast * 100; }},
        {t_notes_minut, [](const xifres& x) { return x.notes_minut; }},
        {t_premses, [](const xifres& x) { return double(x.premses); }}};
    int lloc = 0;
    for (const auto& [text, valor] : series) {
        auto* serie = new QLineSeries;
        double maxim = 1;
        for (const auto& f : files_) {
            serie->append(double(f.inici.toMSecsSinceEpoch()), valor(f.x));
            maxim = std::max(maxim, valor(f.x));
        }
        auto* grafic = new QChart;
        grafic->addSeries(serie);
        grafic->setTitle(t(text) + (text == t_durada ? " (min)" : ""));
        grafic->legend()->hide();
        auto* x = new QDateTimeAxis;
        x->setFormat("dd/MM");
        auto* y = new QValueAxis;
        y->setRange(0, maxim * 1.1);
        grafic->addAxis(x, Qt::AlignBottom);
        grafic->addAxis(y, Qt::AlignLeft);
        serie->attachAxis(x);
        serie->attachAxis(y);
        auto* vista = new QChartView(grafic);
        vista->setRenderHint(QPainter::Antialiasing);
        vista->setMinimumHeight(160);
        grafics_->addWidget(vista, lloc / 2, lloc % 2);
        ++lloc;
    }
}

QString finestra_sessions::csv() const {
    auto camp = [](QString text) { return "\"" + text.replace("\"", "\"\"") + "\""; };
    QString text = "data,durada_s,modalitats,notes_minut,abast_percent,premses,premuda_s,linies_passades\n";
    for (const auto& f : files_)
        text += QStringList{f.inici.toString(Qt::ISODate), QString::number(f.x.durada_ms / 1000.0, 'f', 1),
                            camp(modalitats(f.x)), QString::number(f.x.notes_minut, 'f', 2),
                            QString::number(f.x.abast * 100, 'f', 1), QString::number(f.x.premses),
                            QString::number(f.x.premuda_s, 'f', 3), QString::number(f.passades)}
                    .join(',') +
                "\n";
    return text;
}

QString finestra_sessions::exporta(const QString& pdf) {
    const QString cami_csv = QFileInfo(pdf).path() + "/" + QFileInfo(pdf).completeBaseName() + ".csv";
    QSaveFile document(pdf);
    if (!obre_privat(document)) return t(t_no_exportat, {pdf, document.errorString()});
    {
        QPdfWriter escriptor(&document);
        escriptor.setPageSize(QPageSize(QPageSize::A4));
        escriptor.setPageOrientation(QPageLayout::Landscape);
        escriptor.setTitle(t(t_informe, {persona_}));
        QPainter pintor(&escriptor);
        const double escala = std::min(double(escriptor.width()) / informe_->width(),
                                       double(escriptor.height()) / informe_->height());
        pintor.scale(escala, escala);
        informe_->render(&pintor);
    }
    if (!document.commit()) return t(t_no_exportat, {pdf, document.errorString()});
    QSaveFile taula(cami_csv);
    if (!obre_privat(taula) || taula.write(csv().toUtf8()) < 0 || !taula.commit())
        return t(t_no_exportat, {cami_csv, taula.errorString()});
    return {};
}

void finestra_sessions::exporta_demanat() {
    const QString proposat = QDir::homePath() + "/" + persona_ + ".pdf";
    QString filtre = "PDF (*.pdf)";
    const QString pdf = dialegs_.desti(t(t_exporta).remove('&').remove("…"), proposat, filtre, filtre);
    if (pdf.isEmpty()) return;
    const QString error = exporta(pdf);
    const QString csv_ = QFileInfo(pdf).path() + "/" + QFileInfo(pdf).completeBaseName() + ".csv";
    estat_->setText(error.isEmpty() ? t(t_exportat_informe, {pdf, csv_}) : error);
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
    omple(persona_, resta);
    estat_->setText(errors.join("\n"));
}

} // namespace brisola
