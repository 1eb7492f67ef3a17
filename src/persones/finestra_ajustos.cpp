#include "persones/finestra_ajustos.h"

#include "app/finestra_main.h"
#include "persones/ajustos_persona.h"
#include "persones/etapa_punter.h"
#include "persones/textos.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QKeySequenceEdit>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QShortcut>
#include <QSlider>
#include <QSpinBox>
#include <QVBoxLayout>

#include <cmath>

namespace brisola {

namespace {

enum : int { t_titol, t_suavitzat, t_cap, t_lleuger, t_fort, t_fc, t_beta, t_abast, t_mesura, t_sencer, t_tota,
             t_caixa, t_poc, t_acceptacio, t_ignora, t_volum, t_acompanyament, t_contrast, t_sense, t_graella,
             t_tanca, t_tauler, t_mai, t_escombrat, t_seguent, t_cantonada, t_sense_boto, t_dalt_esquerra,
             t_dalt_dreta, t_baix_esquerra, t_baix_dreta, t_repos, t_tolerancia, t_parla, t_diari, t_prem_tecla };
const textos taula[] = {
    {"Ajustos de la persona", "Ajustes de la persona", "Axustes da persoa"},
    {"Suavitzat del tremolor:", "Suavizado del temblor:", "Suavizado do tremor:"},
    {"Cap", "Ninguno", "Ningún"},
    {"Lleuger", "Ligero", "Lixeiro"},
    {"Fort", "Fuerte", "Forte"},
    {"Tall en repòs (Hz):", "Corte en reposo (Hz):", "Corte en repouso (Hz):"},
    {"Resposta a la velocitat:", "Respuesta a la velocidad:", "Resposta á velocidade:"},
    {"Abast:", "Alcance:", "Alcance:"},
    {"&Mesura l'abast (10 s)", "&Medir el alcance (10 s)", "&Medir o alcance (10 s)"},
    {"&Tota la superfície", "&Toda la superficie", "&Toda a superficie"},
    {"tota la superfície", "toda la superficie", "toda a superficie"},
    {"horitzontal %1–%2 %, vertical %3–%4 %", "horizontal %1–%2 %, vertical %3–%4 %",
     "horizontal %1–%2 %, vertical %3–%4 %"},
    {"No s'ha mogut prou per mesurar l'abast: es manté el d'abans.",
     "No se ha movido lo bastante para medir el alcance: se mantiene el de antes.",
     "Non se moveu abondo para medir o alcance: mantense o de antes."},
    {"Pulsador, temps per acceptar (ms):", "Pulsador, tiempo para aceptar (ms):", "Pulsador, tempo para aceptar (ms):"},
    {"Pulsador, temps per ignorar una repetició (ms):", "Pulsador, tiempo para ignorar una repetición (ms):",
     "Pulsador, tempo para ignorar unha repetición (ms):"},
    {"Volum (%):", "Volumen (%):", "Volume (%):"},
    {"Acompanyament (dB):", "Acompañamiento (dB):", "Acompañamento (dB):"},
    {"Cursor de contrast (% de l'alçada):", "Cursor de contraste (% de la altura):",
     "Cursor de contraste (% da altura):"},
    {"cap", "ninguno", "ningún"},
    {"&Graella de columnes i files", "&Cuadrícula de columnas y filas", "&Grade de columnas e filas"},
    {"Tan&ca", "&Cerrar", "Pe&char"},
    {"Tauler, pulsador premut per obrir-lo (ms):", "Tablero, pulsador apretado para abrirlo (ms):",
     "Taboleiro, pulsador premido para abrilo (ms):"},
    {"mai", "nunca", "nunca"},
    {"Tauler, temps de cada casella ressaltada (ms):", "Tablero, tiempo de cada casilla resaltada (ms):",
     "Taboleiro, tempo de cada casa resaltada (ms):"},
    {"Tauler, tecla per passar a la següent:", "Tablero, tecla para pasar a la siguiente:",
     "Taboleiro, tecla para pasar á seguinte:"},
    {"Tauler, botó per reposar-hi el punter:", "Tablero, botón para reposar el puntero:",
     "Taboleiro, botón para repousar o punteiro:"},
    {"cap", "ninguno", "ningún"},
    {"dalt a l'esquerra", "arriba a la izquierda", "arriba á esquerda"},
    {"dalt a la dreta", "arriba a la derecha", "arriba á dereita"},
    {"baix a l'esquerra", "abajo a la izquierda", "abaixo á esquerda"},
    {"baix a la dreta", "abajo a la derecha", "abaixo á dereita"},
    {"Tauler, temps de repòs per triar (ms):", "Tablero, tiempo de reposo para elegir (ms):",
     "Taboleiro, tempo de repouso para escoller (ms):"},
    {"Tauler, tolerància del repòs (% de l'alçada):", "Tablero, tolerancia del reposo (% de la altura):",
     "Taboleiro, tolerancia do repouso (% da altura):"},
    {"Tauler, &diu en veu alta cada casella", "Tablero, &dice en voz alta cada casilla",
     "Taboleiro, &di en voz alta cada casa"},
    {"Desa un d&iari de cada sessió", "Guardar un d&iario de cada sesión", "Gardar un d&iario de cada sesión"},
    {"Premeu la tecla", "Pulsad la tecla", "Premede a tecla"},
};

QSpinBox* temps(int minim, int maxim) {
    auto* s = new QSpinBox;
    s->setRange(minim, maxim);
    s->setSingleStep(100);
    return s;
}

caixa_abast abast_de(const ajuts& a) {
    return {a.abast_x0 / 1000.0, a.abast_y0 / 1000.0, a.abast_x1 / 1000.0, a.abast_y1 / 1000.0};
}

void posa_abast(ajuts& a, const caixa_abast& c) {
    a.abast_x0 = int(std::lround(c.x0 * 1000)), a.abast_y0 = int(std::lround(c.y0 * 1000));
    a.abast_x1 = int(std::lround(c.x1 * 1000)), a.abast_y1 = int(std::lround(c.y1 * 1000));
}

// The switch's hold that opens the board: "mai" (0), or two seconds and more, so the arrows step between them.
class temps_tauler : public QSpinBox {
public:
    temps_tauler() {
        setRange(0, 10000);
        setSingleStep(500);
    }
    void stepBy(int passos) override {
        if (passos < 0 && value() <= minim_tauler) setValue(0);
        else if (passos > 0 && value() == 0) setValue(minim_tauler);
        else QSpinBox::stepBy(passos);
    }
    static constexpr int minim_tauler = 2000;
};

} // namespace

finestra_ajustos::finestra_ajustos(finestra_main& w, ajustos_persona& ajustos)
    : QDialog(&w), w_(w), ajustos_(ajustos),
      mesura_(
          w.serveis_.temps, [this] { return ajustos_.punter() ? ajustos_.punter()->cru() : std::nullopt; },
          [this](std::optional<caixa_abast> c, int segons) {
              if (c) c = a_la_superficie(*c, w_.mn_inv.Checked(0), w_.mn_inv.Checked(1));
              ajustos_.capa().set_mesura(c, segons);
          },
          [this](std::optional<caixa_abast> c) { abast_mesurat(c); }),
      atura_mesura_(new QShortcut(QKeySequence(Qt::Key_Escape), &w)) {
    // Escape on the surface stops a measure and keeps the reach of before.
    atura_mesura_->setEnabled(false);
    connect(atura_mesura_, &QShortcut::activated, this, [this] {
        aturada_ = true;
        mesura_.atura();
    });
    crea();
    refresca();
}

void finestra_ajustos::crea() {
    auto* forma = new QFormLayout;
    suavitzat_ = new QComboBox;
    suavitzat_->addItems({{}, {}, {}});
    fc_ = new QDoubleSpinBox;
    fc_->setRange(0.1, 10);
    fc_->setSingleStep(0.1);
    beta_ = new QDoubleSpinBox;
    beta_->setDecimals(4);
    beta_->setRange(0, 0.01);
    beta_->setSingleStep(0.0001);
    abast_ = new QLabel;
    abast_->setWordWrap(true);
    mesura_boto_ = new QPushButton;
    sencer_ = new QPushButton;
    auto* botons_abast = new QHBoxLayout;
    botons_abast->addWidget(mesura_boto_);
    botons_abast->addWidget(sencer_);
    acceptacio_ = new QSpinBox;
    acceptacio_->setRange(0, 1000);
    acceptacio_->setSingleStep(50);
    ignora_ = new QSpinBox;
    ignora_->setRange(0, 2000);
    ignora_->setSingleStep(50);
    volum_ = new QSlider(Qt::Horizontal);
    volum_->setRange(0, 100);
    acompanyament_ = new QSpinBox;
    acompanyament_->setRange(-24, 6);
    contrast_ = new QSpinBox;
    contrast_->setRange(0, 25);
    graella_ = new QCheckBox;
    tauler_ = new temps_tauler;
    escombrat_ = temps(300, 5000);
    seguent_ = new QKeySequenceEdit;
    seguent_cap_ = new QPushButton;
    auto* fila_seguent = new QHBoxLayout;
    fila_seguent->addWidget(seguent_, 1);
    fila_seguent->addWidget(seguent_cap_);
    cantonada_ = new QComboBox;
    cantonada_->addItems({{}, {}, {}, {}, {}});
    repos_ = temps(300, 5000);
    tolerancia_ = new QSpinBox;
    tolerancia_->setRange(0, 20);
    parla_ = new QCheckBox;
    diari_ = new QCheckBox;
    tanca_ = new QPushButton;
    // Named, so that a test or an accessibility tool finds each control whatever the language.
    const std::pair<QWidget*, const char*> noms[] = {
        {suavitzat_, "suavitzat"}, {fc_, "suavitzat_fc"},  {beta_, "suavitzat_beta"},
        {mesura_boto_, "mesura_abast"}, {sencer_, "abast_sencer"}, {acceptacio_, "pulsador_acceptacio"},
        {ignora_, "pulsador_ignora"}, {volum_, "volum"}, {acompanyament_, "acompanyament"},
        {contrast_, "cursor_contrast"}, {graella_, "graella"}, {tauler_, "tauler_pulsador"},
        {escombrat_, "escombrat"}, {seguent_, "tecla_seguent"}, {seguent_cap_, "tecla_seguent_cap"},
        {cantonada_, "tauler_cantonada"}, {repos_, "repos"},
        {tolerancia_, "tolerancia"}, {parla_, "parla"}, {diari_, "diari"}};
    for (auto [control, nom] : noms) control->setObjectName(nom);
    for (QLabel** e : {&e_suavitzat_, &e_fc_, &e_beta_, &e_acceptacio_, &e_ignora_, &e_volum_, &e_acompanyament_,
                       &e_contrast_, &e_tauler_, &e_escombrat_, &e_seguent_, &e_cantonada_, &e_repos_, &e_tolerancia_})
        *e = new QLabel;
    forma->addRow(e_suavitzat_, suavitzat_);
    forma->addRow(e_fc_, fc_);
    forma->addRow(e_beta_, beta_);
    forma->addRow(abast_);
    forma->addRow(botons_abast);
    forma->addRow(e_acceptacio_, acceptacio_);
    forma->addRow(e_ignora_, ignora_);
    forma->addRow(e_volum_, volum_);
    forma->addRow(e_acompanyament_, acompanyament_);
    forma->addRow(e_contrast_, contrast_);
    forma->addRow(graella_);
    forma->addRow(e_tauler_, tauler_);
    forma->addRow(e_escombrat_, escombrat_);
    forma->addRow(e_seguent_, fila_seguent);
    forma->addRow(e_cantonada_, cantonada_);
    forma->addRow(e_repos_, repos_);
    forma->addRow(e_tolerancia_, tolerancia_);
    forma->addRow(parla_);
    forma->addRow(diari_);
    forma->addRow(tanca_);
    setLayout(forma);

    connect(suavitzat_, &QComboBox::currentIndexChanged, this, [this](int i) { tria_suavitzat(i); });
    // A number counts once it is typed whole (Enter, or the focus leaving), not at each key of it.
    for (QDoubleSpinBox* s : {fc_, beta_}) {
        s->setKeyboardTracking(false);
        connect(s, &QDoubleSpinBox::valueChanged, this, [this] { canvia(); });
    }
    for (QSpinBox* s : {acceptacio_, ignora_, acompanyament_, contrast_, tauler_, escombrat_, repos_, tolerancia_}) {
        s->setKeyboardTracking(false);
        connect(s, &QSpinBox::valueChanged, this, [this] { canvia(); });
    }
    connect(cantonada_, &QComboBox::currentIndexChanged, this, [this] { canvia(); });
    connect(seguent_, &QKeySequenceEdit::keySequenceChanged, this, [this] { canvia(); });
    connect(seguent_cap_, &QPushButton::clicked, this, [this] {
        seguent_->clear();
        canvia();
    });
    seguent_->installEventFilter(this);
    if (auto* camp = seguent_->findChild<QLineEdit*>()) camp->installEventFilter(this);
    for (QCheckBox* c : {parla_, diari_}) connect(c, &QCheckBox::toggled, this, [this] { canvia(); });
    connect(volum_, &QSlider::valueChanged, this, [this] { canvia(); });
    connect(graella_, &QCheckBox::toggled, this, [this] { canvia(); });
    connect(mesura_boto_, &QPushButton::clicked, this, [this] { mesura_abast(); });
    connect(sencer_, &QPushButton::clicked, this, [this] { abast_mesurat(caixa_abast{}); });
    connect(tanca_, &QPushButton::clicked, this, &QDialog::close);
}

void finestra_ajustos::tradueix() {
    const QString& idioma = w_.estat.idioma;
    auto t = [&](int i, const QStringList& dades = {}) { return brisola::tradueix(taula[i], idioma, dades); };
    setWindowTitle(t(t_titol));
    for (int i : {0, 1, 2}) suavitzat_->setItemText(i, t(t_cap + i));
    const std::pair<QLabel*, int> etiquetes[] = {{e_suavitzat_, t_suavitzat}, {e_fc_, t_fc},
                                                 {e_beta_, t_beta},           {e_acceptacio_, t_acceptacio},
                                                 {e_ignora_, t_ignora},       {e_volum_, t_volum},
                                                 {e_acompanyament_, t_acompanyament}, {e_contrast_, t_contrast},
                                                 {e_tauler_, t_tauler}, {e_escombrat_, t_escombrat},
                                                 {e_seguent_, t_seguent}, {e_cantonada_, t_cantonada},
                                                 {e_repos_, t_repos}, {e_tolerancia_, t_tolerancia}};
    for (auto [etiqueta, i] : etiquetes) etiqueta->setText(t(i));
    e_volum_->setText(t(t_volum) + " " + QString::number(volum_->value())); // a slider shows no number of its own
    mesura_boto_->setText(t(t_mesura));
    sencer_->setText(t(t_sencer));
    contrast_->setSpecialValueText(t(t_sense));
    graella_->setText(t(t_graella));
    tauler_->setSpecialValueText(t(t_mai));
    for (int i = 0; i < 5; ++i) cantonada_->setItemText(i, t(t_sense_boto + i));
    parla_->setText(t(t_parla));
    diari_->setText(t(t_diari));
    tanca_->setText(t(t_tanca));
    seguent_cap_->setText(t(t_cap));
    if (auto* camp = seguent_->findChild<QLineEdit*>()) camp->setPlaceholderText(t(t_prem_tecla));
    abast_->setText(t(t_abast) + " " + descripcio_abast() + (avis_abast_.isEmpty() ? "" : "\n" + avis_abast_));
}

QString finestra_ajustos::descripcio_abast() const {
    const ajuts& a = ajustos_.valors();
    const QString& idioma = w_.estat.idioma;
    if (abast_de(a).sencera())
        return brisola::tradueix(taula[t_tota], idioma);
    auto pc = [](int per_mil) { return QString::number(std::lround(per_mil / 10.0)); };
    return brisola::tradueix(taula[t_caixa], idioma, {pc(a.abast_x0), pc(a.abast_x1), pc(a.abast_y0), pc(a.abast_y1)});
}

void finestra_ajustos::refresca() {
    omplint_ = true;
    const ajuts& a = ajustos_.valors();
    suavitzat_->setCurrentIndex(a.suavitzat);
    fc_->setValue(a.suavitzat_fc / 100.0);
    beta_->setValue(a.suavitzat_beta / 1e6);
    acceptacio_->setValue(a.acceptacio);
    ignora_->setValue(a.ignora);
    volum_->setValue(a.volum);
    acompanyament_->setValue(a.acompanyament);
    contrast_->setValue(a.cursor_contrast);
    graella_->setChecked(a.graella);
    tauler_->setValue(a.tauler_pulsador);
    escombrat_->setValue(a.escombrat);
    seguent_->setKeySequence(a.tecla_seguent ? QKeySequence(a.tecla_seguent) : QKeySequence());
    cantonada_->setCurrentIndex(a.tauler_cantonada);
    repos_->setValue(a.repos);
    tolerancia_->setValue(a.tolerancia);
    parla_->setChecked(a.parla);
    diari_->setChecked(a.diari);
    omplint_ = false;
    mostra_estat();
}

void finestra_ajustos::mostra_estat() {
    const bool punter = ajustos_.punter() != nullptr;
    const bool suavitza = ajustos_.valors().suavitzat > 0;
    for (QWidget* c : std::initializer_list<QWidget*>{suavitzat_, mesura_boto_, sencer_}) c->setEnabled(punter);
    fc_->setEnabled(punter && suavitza);
    beta_->setEnabled(punter && suavitza);
    tradueix();
}

void finestra_ajustos::tria_suavitzat(int nivell) {
    if (omplint_) return;
    const parametres_suavitzat p = parametres_de(nivell_suavitzat(nivell));
    omplint_ = true;
    fc_->setValue(p.fc_minima);
    beta_->setValue(p.beta);
    omplint_ = false;
    canvia();
}

void finestra_ajustos::canvia() {
    if (omplint_) return;
    ajuts a = ajustos_.valors();
    a.suavitzat = suavitzat_->currentIndex();
    a.suavitzat_fc = int(std::lround(fc_->value() * 100));
    a.suavitzat_beta = int(std::lround(beta_->value() * 1e6));
    a.acceptacio = acceptacio_->value();
    a.ignora = ignora_->value();
    a.volum = volum_->value();
    a.acompanyament = acompanyament_->value();
    a.cursor_contrast = contrast_->value();
    a.graella = graella_->isChecked();
    // A board opened by holding the switch less than two seconds would open at every long press.
    a.tauler_pulsador = tauler_->value() > 0 ? std::max(2000, tauler_->value()) : 0;
    a.escombrat = escombrat_->value();
    const QKeySequence tecla = seguent_->keySequence();
    a.tecla_seguent = tecla.isEmpty() ? 0 : tecla[0].key();
    a.tauler_cantonada = cantonada_->currentIndex();
    a.repos = repos_->value();
    a.tolerancia = tolerancia_->value();
    a.parla = parla_->isChecked();
    a.diari = diari_->isChecked();
    ajustos_.aplica(a);
    // What was typed stays as typed; only what the rules changed is shown again.
    omplint_ = true;
    tauler_->setValue(a.tauler_pulsador);
    omplint_ = false;
    mostra_estat();
}

bool finestra_ajustos::eventFilter(QObject* objecte, QEvent* event) {
    // The keys that leave an edit are never the key recorded: Escape puts back the one in force.
    if (event->type() == QEvent::KeyPress && (objecte == seguent_ || objecte->parent() == seguent_)) {
        const int tecla = static_cast<QKeyEvent*>(event)->key();
        if (tecla == Qt::Key_Escape || tecla == Qt::Key_Backspace || tecla == Qt::Key_Delete) {
            const int en_vigor = ajustos_.valors().tecla_seguent;
            omplint_ = true;
            seguent_->setKeySequence(en_vigor ? QKeySequence(en_vigor) : QKeySequence());
            omplint_ = false;
            return true;
        }
    }
    return QDialog::eventFilter(objecte, event);
}

// The person moves with the window out of the way, and the pointer as it comes.
// Only the reach is the measure's: whatever else changes meanwhile stays.
void finestra_ajustos::mesura_abast() {
    abast_abans_ = abast_de(ajustos_.valors());
    ajuts tot = ajustos_.valors();
    posa_abast(tot, caixa_abast{});
    ajustos_.aplica(tot);
    hide();
    w_.activateWindow();
    atura_mesura_->setEnabled(true);
    mesura_.comenca();
}

void finestra_ajustos::deixa_mesura() {
    abast_abans_.reset();
    mesura_.atura();
}

void finestra_ajustos::abast_mesurat(std::optional<caixa_abast> caixa) {
    atura_mesura_->setEnabled(false);
    if (!abast_abans_) return refresca(); // left for another person's setup: theirs stays whole
    ajuts a = ajustos_.valors();
    avis_abast_.clear();
    if (!caixa && !aturada_) avis_abast_ = brisola::tradueix(taula[t_poc], w_.estat.idioma);
    posa_abast(a, caixa.value_or(*abast_abans_));
    abast_abans_.reset();
    aturada_ = false;
    ajustos_.aplica(a);
    refresca();
    show();
    raise();
}

} // namespace brisola
