#include "sessions/finestra_exportacio.h"

#include "platform/missatges.h"
#include "sessions/textos_sessions.h"

#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QFormLayout>
#include <QProgressDialog>
#include <QPushButton>
#include <QSpinBox>
#include <QTimer>

namespace brisola {

namespace {

// "WAV (*.wav)" → ".wav"; MIDI when the filter names none.
QString extensio_del_filtre(const QString& filtre) {
    const qsizetype estel = filtre.indexOf("*.");
    return estel < 0 ? QString(".mid") : filtre.mid(estel + 1).section(')', 0, 0).section(' ', 0, 0);
}

} // namespace

finestra_exportacio::finestra_exportacio(const QString& idioma, missatges& caixes, demana_desti desti)
    : idioma_(idioma), caixes_(caixes), desti_(std::move(desti)) {
    auto t = [this](int i) { return text_sessions(idioma_, i); };
    setWindowTitle(t(t_desa_interpretacio).remove("…"));
    sessio_ = new QComboBox;
    des_de_ = new QSpinBox;
    fins_a_ = new QSpinBox;
    for (QSpinBox* s : {des_de_, fins_a_}) s->setRange(0, 24 * 3600);
    auto* boto = new QPushButton(t(t_desa));
    sessio_->setObjectName("sessio");
    des_de_->setObjectName("des_de");
    fins_a_->setObjectName("fins_a");
    auto* forma = new QFormLayout(this);
    forma->addRow(t(t_tria_sessio), sessio_);
    forma->addRow(t(t_des_de), des_de_);
    forma->addRow(t(t_fins_a), fins_a_);
    forma->addRow(boto);
    connect(boto, &QPushButton::clicked, this, [this] { desa(); });
    connect(sessio_, &QComboBox::currentIndexChanged, this, [this](int i) {
        auto s = i >= 0 ? llegeix_sessio(sessions_.value(i)) : std::nullopt;
        des_de_->setValue(0);
        fins_a_->setValue(s ? int((s->durada_ms + 999) / 1000) : 0);
    });
    rellotge_ = new QTimer(this);
    rellotge_->setInterval(100);
    connect(rellotge_, &QTimer::timeout, this, [this] { mira(); });
}

finestra_exportacio::~finestra_exportacio() {
    cancel_ = true;
    if (fil_.joinable()) fil_.join();
}

void finestra_exportacio::omple(const QStringList& sessions) {
    sessions_ = sessions;
    sessio_->clear();
    for (const QString& s : sessions) sessio_->addItem(QFileInfo(s).completeBaseName());
    sessio_->setCurrentIndex(int(sessions.size()) - 1);
}

void finestra_exportacio::desa() {
    const QString sessio = sessions_.value(sessio_->currentIndex());
    const QString proposat = QDir::homePath() + "/" + QFileInfo(sessio).completeBaseName() + ".mid";
    const QString filtres = text_sessions(idioma_, t_format);
    QString triat = filtres.section(";;", 0, 0);
    QString desti = desti_(text_sessions(idioma_, t_desa_interpretacio), proposat, filtres, triat);
    if (desti.isEmpty()) return;
    if (!desti_conegut(desti)) desti += extensio_del_filtre(triat);
    exporta(desti);
}

void finestra_exportacio::exporta(const QString& desti) {
    if (ocupada()) return;
    const QString sessio = sessions_.value(sessio_->currentIndex());
    const tros_sessio tros{int64_t(des_de_->value()) * 1000,
                           fins_a_->value() > des_de_->value() ? int64_t(fins_a_->value()) * 1000 : INT64_MAX};
    desti_actual_ = desti;
    fet_ = 0;
    cancel_ = false;
    acabat_ = false;
    progres_ = new QProgressDialog(text_sessions(idioma_, t_exportant), text_sessions(idioma_, t_cancella), 0,
                                   1000, this);
    progres_->setWindowModality(Qt::WindowModal);
    progres_->setMinimumDuration(300);
    connect(progres_, &QProgressDialog::canceled, this, [this] { cancel_ = true; });
    fil_ = std::thread([this, sessio, tros, desti] {
        resultat_ = exporta_sessio(sessio, tros, desti, [this](double f) {
            fet_ = f;
            return !cancel_;
        });
        acabat_ = true;
    });
    rellotge_->start();
}

void finestra_exportacio::mira() {
    if (progres_) progres_->setValue(int(fet_ * 1000));
    if (acabat_) acaba();
}

void finestra_exportacio::acaba() {
    rellotge_->stop();
    fil_.join();
    delete progres_;
    progres_ = nullptr;
    for (const QString& absent : resultat_.absents) caixes_.avisa(text_sessions(idioma_, t_canco_absent, {absent}));
    if (!resultat_.soundfont.isEmpty()) caixes_.avisa(text_sessions(idioma_, t_soundfont_substitut, {resultat_.soundfont}));
    if (resultat_.cancellada) return;
    if (!resultat_.error.isEmpty())
        return caixes_.MsgBox(text_sessions(idioma_, t_no_exportat, {desti_actual_, resultat_.error}));
    caixes_.avisa_personal(text_sessions(idioma_, t_exportat, {desti_actual_})); // the path often names the person
}

} // namespace brisola
