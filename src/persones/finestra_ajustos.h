#pragma once
// "Ajustos…": the person's aids, each applied as soon as it is changed; the
// Persona menu's "Desa" keeps them in the person's file.
#include "persones/mesura_abast.h"
#include "persones/persona.h"

#include <QDialog>

class QCheckBox;
class QComboBox;
class QDoubleSpinBox;
class QKeySequenceEdit;
class QLabel;
class QPushButton;
class QShortcut;
class QSlider;
class QSpinBox;

namespace brisola {

class ajustos_persona;
class finestra_main;

class finestra_ajustos : public QDialog {
public:
    finestra_ajustos(finestra_main& w, ajustos_persona& ajustos);

    // The values in force into the controls, in the interface language.
    void refresca();
    // The reach measured again, as its button does.
    void mesura_abast();
    bool mesurant() const { return mesura_.en_marxa(); }
    // Another person's setup came in: a measure under way is theirs no more, and stops with no change.
    void deixa_mesura();

private:
    void crea();
    void tradueix();
    void canvia();
    void mostra_estat();
    bool eventFilter(QObject* objecte, QEvent* event) override;
    void tria_suavitzat(int nivell);
    void abast_mesurat(std::optional<caixa_abast> caixa);
    QString descripcio_abast() const;

    finestra_main& w_;
    ajustos_persona& ajustos_;
    brisola::mesura_abast mesura_;
    bool omplint_ = false; // the controls are being filled: their signals change nothing
    QString avis_abast_;   // what the last measure said, shown under the reach
    std::optional<caixa_abast> abast_abans_; // the reach before a measure, put back when it finds none
    bool aturada_ = false;                   // the measure was stopped on purpose: nothing to say
    QShortcut* atura_mesura_ = nullptr;

    QLabel *e_suavitzat_ = nullptr, *e_fc_ = nullptr, *e_beta_ = nullptr, *abast_ = nullptr;
    QLabel *e_acceptacio_ = nullptr, *e_ignora_ = nullptr, *e_volum_ = nullptr, *e_acompanyament_ = nullptr;
    QLabel *e_contrast_ = nullptr, *e_tauler_ = nullptr, *e_escombrat_ = nullptr, *e_seguent_ = nullptr;
    QLabel *e_cantonada_ = nullptr, *e_repos_ = nullptr, *e_tolerancia_ = nullptr;
    QComboBox *suavitzat_ = nullptr, *cantonada_ = nullptr;
    QSpinBox *tauler_ = nullptr, *escombrat_ = nullptr, *repos_ = nullptr, *tolerancia_ = nullptr;
    QKeySequenceEdit* seguent_ = nullptr;
    QCheckBox* parla_ = nullptr;
    QCheckBox* diari_ = nullptr;
    QDoubleSpinBox *fc_ = nullptr, *beta_ = nullptr;
    QPushButton *mesura_boto_ = nullptr, *sencer_ = nullptr, *tanca_ = nullptr, *seguent_cap_ = nullptr;
    QSpinBox *acceptacio_ = nullptr, *ignora_ = nullptr, *acompanyament_ = nullptr, *contrast_ = nullptr;
    QSlider* volum_ = nullptr;
    QCheckBox* graella_ = nullptr;
};

} // namespace brisola
