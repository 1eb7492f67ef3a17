#include "sessions/menu_sessions.h"

#include "app/finestra_main.h"
#include "persones/abast.h"
#include "persones/etapa_punter.h"
#include "persones/menu_persona.h"
#include "platform/missatges.h"
#include "sessions/finestra_exportacio.h"
#include "sessions/finestra_sessions.h"
#include "sessions/llista_sessions.h"
#include "sessions/textos_sessions.h"

#include <QDir>
#include <QFileDialog>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>

#include <cmath>

namespace brisola {

namespace {

QString caption(const menu_array& m, int i) {
    return i >= 0 && i < m.size() ? m[i]->text().remove('&').trimmed() : QString();
}

QString fila(const taula_cataleg& t, int i) { return i > 0 && size_t(i) < t.size() ? t[size_t(i)].value(1) : QString(); }

menu_sessions::dialegs dialegs_de_qt(QWidget* pare, menu_sessions::dialegs dl) {
    if (!dl.desti)
        dl.desti = [pare](const QString& titol, const QString& proposat, const QString& filtres, QString& triat) {
            return QFileDialog::getSaveFileName(pare, titol, proposat, filtres, &triat);
        };
    if (!dl.confirma)
        dl.confirma = [pare](const QString& pregunta) {
            return QMessageBox::question(pare, "Brisola", pregunta) == QMessageBox::Yes;
        };
    return dl;
}

} // namespace

menu_sessions::menu_sessions(finestra_main& w, menu_persona& persones, diari& d, etapa_punter* punter, dialegs dl)
    : w_(w), persones_(persones), diari_(d), punter_(punter), dialegs_(dialegs_de_qt(&w, std::move(dl))) {
    diari_.connecta({[this] { return lloc(); }, [this] { return tries(); },
                     [this] { return !persones_.actual().isEmpty() && persones_.ajustos().valors().diari; },
                     [this](int text, const QStringList& dades) { avisa(text, dades); }});
    diari_.set_persona(persones_.actual());
    // The journal changes person first: the new person's setup belongs to their own sessions.
    persones_.on_persona([this](const QString& nom) { diari_.set_persona(nom); });
    persones_.ajustos().pulsador().set_observador(
        [this](bool premsa, bool acceptada) { diari_.pulsador(premsa, acceptada); });
    persones_.amplia([this](QMenu& menu) {
        const QString& idioma = w_.estat.idioma;
        menu.addSeparator();
        menu.addAction(text_sessions(idioma, t_desa_interpretacio), this, [this] { desa_interpretacio(); });
        menu.addAction(text_sessions(idioma, t_sessions), this, [this] { obre_informe(); });
    });
    // Every menu's item, the board's and a person's setup included, goes through the menu bar;
    // queued, so the journal reads the choice once its own handler has made it (no such item
    // opens a dialog, whose loop would run this before the choice is made).
    connect(w_.menuBar(), &QMenuBar::triggered, this, [this] { diari_.tries_canviades(); }, Qt::QueuedConnection);
    if (!dialegs_.nom) dialegs_.nom = [this](const QString& clau, int index) { return nom_actual(clau, index); };
    for (int i = 0; i < w_.mn_idioma.size(); ++i)
        connect(w_.mn_idioma[i], &QAction::triggered, this, [this] {
            if (informe_) informe_->set_idioma(w_.estat.idioma);
        });
}

menu_sessions::~menu_sessions() = default;

QStringList menu_sessions::sessions() const {
    if (persones_.actual().isEmpty()) return {};
    return sessions_de(diari_.carpeta(persones_.actual()));
}

bool menu_sessions::hi_ha_sessions() {
    if (persones_.actual().isEmpty()) return avisa(t_sense_persona), false;
    if (sessions().isEmpty()) return avisa(t_cap_sessio, {persones_.actual()}), false;
    return true;
}

finestra_exportacio* menu_sessions::desa_interpretacio() {
    if (!hi_ha_sessions()) return nullptr;
    if (!exportacio_) exportacio_ = std::make_unique<finestra_exportacio>(w_.estat.idioma, w_.serveis_.caixes, dialegs_.desti);
    exportacio_->omple(sessions());
    exportacio_->show();
    return exportacio_.get();
}

finestra_sessions* menu_sessions::obre_informe() {
    if (!hi_ha_sessions()) return nullptr;
    if (!informe_)
        informe_ = std::make_unique<finestra_sessions>(w_.estat.idioma, dialegs_);
    informe_->omple(persones_.actual(), sessions(), diari_.fitxer());
    informe_->show();
    return informe_.get();
}

QString menu_sessions::nom_actual(const QString& clau, int index) const {
    if (clau == "modalitat") return caption(w_.fmus, index);
    if (clau == "acces") return caption(w_.mn_acces, index);
    if (clau == "instrument" && index > 0) return caption(w_.mn_instrument, index);
    return {};
}

void menu_sessions::avisa(int text, const QStringList& dades) {
    w_.serveis_.caixes.avisa_personal(text_sessions(w_.estat.idioma, text, dades));
}

escriptor_diari::info menu_sessions::tries() const {
    const persona p = persones_.captura();
    auto amb_nom = [](int i, const QString& nom) { return QString::number(i) + " " + nom; };
    return {{"persona", persones_.actual()},
            {"acces", amb_nom(p.acces, caption(w_.mn_acces, p.acces))},
            {"modalitat", amb_nom(p.modalitat, caption(w_.fmus, p.modalitat))},
            {"ritme", amb_nom(p.ritme, fila(w_.estat.ritmes, p.ritme))},
            {"canco", amb_nom(p.canco, fila(w_.estat.cancons, p.canco))},
            {"instrument", amb_nom(p.instrument, p.instrument > 0 ? caption(w_.mn_instrument, p.instrument) : QString())},
            {"velocitat", QString::number(p.velocitat)}};
}

// Per mille of the surface: as the person reached it, and where the reach mapping put it.
std::optional<std::array<int, 4>> menu_sessions::lloc() const {
    if (!punter_) return std::nullopt;
    const auto cru = punter_->cru();
    if (!cru) return std::nullopt;
    const auto ajustat = aplica_abast(punter_->abast(), (*cru)[0], (*cru)[1]);
    auto mil = [](double f) { return int(std::lround(std::clamp(f, 0.0, 1.0) * 1000)); };
    return std::array<int, 4>{mil((*cru)[0]), mil((*cru)[1]), mil(ajustat[0]), mil(ajustat[1])};
}

} // namespace brisola
