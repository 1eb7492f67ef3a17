#include "persones/menu_persona.h"

#include "app/finestra_main.h"
#include "platform/missatges.h"
#include "platform/control_mobil.h"
#include "platform/forma.h"
#include "persones/finestra_ajustos.h"
#include "persones/metode_acces.h"
#include "persones/textos.h"
#include "tauler/tauler.h"
#include "platform/numeros.h"

#include <QActionGroup>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QInputDialog>
#include <QMenu>
#include <QMenuBar>
#include <QSaveFile>

#include <algorithm>
#include <cmath>

namespace brisola {

namespace {

// The menu's captions and its messages, in the interface's languages.
enum : int { t_menu, t_cap, t_desa, t_nova, t_ajustos, t_tauler, t_titol, t_pregunta, t_buit, t_llarg, t_caracters, t_repetit,
             t_illegible, t_retallada, t_no_desat, t_no_existeix, t_sense_nom };
const textos taula[] = {
    {"&Persona", "&Persona", "&Persoa"},
    {"&Cap persona", "Ningu&na persona", "Ningu&nha persoa"},
    {"&Desa", "&Guardar", "&Gardar"},
    {"Persona &nova…", "Persona nue&va…", "Persoa no&va…"},
    {"&Ajustos…", "&Ajustes…", "&Axustes…"},
    {"&Tauler…", "&Tablero…", "&Taboleiro…"},
    {"Persona nova", "Persona nueva", "Persoa nova"},
    {"Nom de la persona:", "Nombre de la persona:", "Nome da persoa:"},
    {"Cal un nom per a la persona.", "Hace falta un nombre para la persona.", "Cómpre un nome para a persoa."},
    {"El nom «%1» és massa llarg: com a molt 64 caràcters.", "El nombre «%1» es demasiado largo: 64 caracteres como mucho.",
     "O nome «%1» é longo de máis: como moito 64 caracteres."},
    {"El nom «%1» no pot dur «/», «\\», «..» ni caràcters de control, ni començar amb «.».",
     "El nombre «%1» no puede llevar «/», «\\», «..» ni caracteres de control, ni empezar por «.».",
     "O nome «%1» non pode levar «/», «\\», «..» nin caracteres de control, nin comezar por «.»."},
    {"Ja hi ha una persona que es diu «%1».", "Ya hay una persona que se llama «%1».", "Xa hai unha persoa que se chama «%1»."},
    {"No es pot llegir el fitxer de %1 (%2): comença amb els valors de sempre, i el fitxer no es tocarà fins que el "
     "deseu.",
     "No se puede leer el archivo de %1 (%2): empieza con los valores de siempre, y el archivo no se tocará hasta que "
     "lo guardéis.",
     "Non se pode ler o ficheiro de %1 (%2): comeza cos valores de sempre, e o ficheiro non se tocará ata que o "
     "gardedes."},
    {"Al fitxer de %1 hi havia valors fora del seu marge, que s'han ajustat i desat: %2.",
     "En el archivo de %1 había valores fuera de su margen, que se han ajustado y guardado: %2.",
     "No ficheiro de %1 había valores fóra da súa marxe, que se axustaron e gardaron: %2."},
    {"No s'ha pogut desar %1 (%2).", "No se ha podido guardar %1 (%2).", "Non se puido gardar %1 (%2)."},
    {"No hi ha cap persona que es digui «%1»: Brisola comença sense persona.",
     "No hay ninguna persona que se llame «%1»: Brisola empieza sin persona.",
     "Non hai ningunha persoa que se chame «%1»: Brisola comeza sen persoa."},
    {"L'opció --persona no diu cap nom: Brisola comença sense persona.",
     "La opción --persona no dice ningún nombre: Brisola empieza sin persona.",
     "A opción --persona non di ningún nome: Brisola comeza sen persoa."},
};

QString text(const QString& idioma, int t, const QStringList& dades = {}) { return tradueix(taula[t], idioma, dades); }

void tria_element(menu_array& m, int index) {
    if (index >= 0 && index < m.size()) m[index]->trigger();
}

// The "Lent" (positive) or "Ràpid" (negative) steps from "Normal" that give this tempo; 0 when none does.
int passos_de_velocitat(int tempo) {
    for (int passos = 1, t = 400, r = 400; passos <= 10; ++passos) {
        t = std::min(t * 2, 8191);
        r = nearest(r / 2.0);
        if (t == tempo && passos <= 5) return passos;
        if (r == tempo) return -passos;
    }
    return 0;
}

// A name as a message shows it: a long one would run past its box.
QString escurcat(const QString& nom) {
    constexpr int mostrat = 40;
    return nom.size() > mostrat ? nom.left(mostrat - 1) + "…" : nom;
}

int marcat(const menu_array& m) {
    for (int16_t i = 0; i < m.size(); ++i)
        if (m.Checked(i)) return i;
    return -1;
}

// Whether a setup lets its player open the board: holding the switch, or resting on the corner's button.
bool te_entrada(int acces, const ajuts& a) {
    return (acces == metode_acces::pulsador && a.tauler_pulsador > 0) ||
           (acces >= metode_acces::ratoli && acces <= metode_acces::joystick && a.tauler_cantonada > 0);
}

// A setup chosen on the board that has no way back to it keeps the way the player came in.
void conserva_entrada(persona& nova, int acces, const ajuts& actuals) {
    if (te_entrada(nova.acces, nova.ajuts) || !te_entrada(acces, actuals)) return;
    nova.acces = acces;
    nova.ajuts.tauler_pulsador = actuals.tauler_pulsador;
    nova.ajuts.tauler_cantonada = actuals.tauler_cantonada;
}

} // namespace

menu_persona::menu_persona(finestra_main& w, demana demana_nom, serveis_persona s)
    : w_(w), demana_nom_(std::move(demana_nom)), ajustos_(w, s.punter, s.volum),
      mida_cursor_inicial_(w.cursor_actiu->size()) {
    if (!demana_nom_)
        demana_nom_ = [this](const QString& titol, const QString& pregunta) {
            return QInputDialog::getText(&w_, titol, pregunta);
        };
    menu_ = w_.menuBar()->addMenu(QString());
    tauler_ = std::make_unique<brisola::tauler>(w_, ajustos_,
                                                tauler::fonts{menu_, [this] { return instrument_; }, s.parla, s.caixes});
    for (int i = 0; i < w_.mn_instrument.size(); ++i)
        connect(w_.mn_instrument[i], &QAction::triggered, this, [this, i] { instrument_ = i; });
    // The seed's language items translate its menus; ours follow once they have.
    for (int i = 0; i < w_.mn_idioma.size(); ++i) connect(w_.mn_idioma[i], &QAction::triggered, this, [this] { omple(); });
    omple();
}

menu_persona::~menu_persona() = default;

QString menu_persona::carpeta() const { return QFileInfo(w_.fitxer_ini()).absolutePath() + "/persones"; }

QString menu_persona::fitxer(const QString& nom) const { return carpeta() + "/" + nom + ".ini"; }

QStringList menu_persona::persones() const {
    QStringList noms;
    for (const QFileInfo& f : QDir(carpeta()).entryInfoList({"*.ini"}, QDir::Files, QDir::Name | QDir::IgnoreCase))
        noms << f.completeBaseName();
    return noms;
}

void menu_persona::omple() {
    const QString& idioma = w_.estat.idioma;
    menu_->clear();
    menu_->setTitle(text(idioma, t_menu));
    auto* grup = new QActionGroup(menu_);
    for (const QString& nom : persones()) {
        QAction* a = menu_->addAction(QString(nom).replace('&', "&&"), this, [this, nom] { tria(nom); }); // "&" is no access key
        a->setCheckable(true);
        a->setChecked(nom == actual_);
        grup->addAction(a);
    }
    QAction* cap = menu_->addAction(text(idioma, t_cap), this, [this] { cap_persona(); });
    cap->setCheckable(true);
    cap->setChecked(actual_.isEmpty());
    grup->addAction(cap);
    menu_->addSeparator();
    menu_->addAction(text(idioma, t_desa), this, [this] { desa(); });
    menu_->addAction(text(idioma, t_nova), this, [this] { persona_nova(); });
    menu_->addAction(text(idioma, t_ajustos), this, [this] { obre_ajustos().show(); });
    // Ctrl+G: a shortcut the seed leaves free, and one the switch's keys never are.
    menu_->addAction(text(idioma, t_tauler), QKeySequence("Ctrl+G"), this, [this] { tauler_->commuta(); });
    if (items_) items_(*menu_);
    if (finestra_ajustos_) finestra_ajustos_->refresca();
}

void menu_persona::amplia(std::function<void(QMenu&)> items) {
    items_ = std::move(items);
    omple();
}

finestra_ajustos& menu_persona::obre_ajustos() {
    if (!finestra_ajustos_) finestra_ajustos_ = std::make_unique<finestra_ajustos>(w_, ajustos_);
    finestra_ajustos_->refresca();
    return *finestra_ajustos_;
}

// Its notices name people and their files: kept out of standard error.
void menu_persona::avisa(int t, const QStringList& dades) {
    w_.serveis_.caixes.avisa_personal(text(w_.estat.idioma, t, dades));
}

void menu_persona::inicia(const std::optional<QString>& demanada) {
    if (demanada && demanada->trimmed().isEmpty()) return avisa(t_sense_nom);
    QString nom = demanada.value_or(QString());
    if (!demanada) {
        QFile darrera(carpeta() + "/darrera");
        if (darrera.open(QIODevice::ReadOnly)) nom = QString::fromUtf8(darrera.readAll()).trimmed();
    }
    if (nom.isEmpty()) return;
    // Names are one person's whatever their case, as when they are made.
    const QStringList noms = persones();
    auto trobat = std::find_if(noms.begin(), noms.end(),
                               [&](const QString& n) { return n.compare(nom, Qt::CaseInsensitive) == 0; });
    if (trobat == noms.end()) {
        if (demanada) avisa(t_no_existeix, {nom});
        return;
    }
    tria(*trobat);
}

void menu_persona::tria(const QString& nom) {
    persona_llegida llegida = llegeix_persona(fitxer(nom), nom);
    if (llegida.illegible) avisa(t_illegible, {nom, fitxer(nom)});
    else if (!llegida.fora_de_marge.isEmpty()) {
        desa_persona(llegida.p, fitxer(nom)); // said once: the file now holds what is in force
        avisa(t_retallada, {nom, llegida.fora_de_marge.join(", ")});
    }
    if (avis_persona_) avis_persona_(nom);
    canvia_a(llegida.p);
    actual_ = nom;
    recorda(nom);
    omple();
}

void menu_persona::cap_persona() {
    if (avis_persona_) avis_persona_({});
    actual_.clear();
    canvia_a(persona{}); // the seed's start: every aid off
    w_.cursor_actiu->resize(mida_cursor_inicial_);
    recorda({});
    omple();
}

void menu_persona::recorda(const QString& nom) {
    QDir().mkpath(carpeta());
    QSaveFile f(carpeta() + "/darrera");
    if (f.open(QIODevice::WriteOnly)) {
        f.write(nom.toUtf8());
        f.commit();
    }
}

void menu_persona::desa() {
    if (actual_.isEmpty()) return persona_nova();
    persona p = captura();
    p.nom = actual_;
    QDir().mkpath(carpeta());
    if (!desa_persona(p, fitxer(actual_))) avisa(t_no_desat, {actual_, fitxer(actual_)});
}

void menu_persona::persona_nova() {
    const QString& idioma = w_.estat.idioma;
    QString nom = demana_nom_(text(idioma, t_titol), text(idioma, t_pregunta)).trimmed();
    if (nom.isEmpty()) return;
    if (auto refus = examina_nom(nom)) {
        avisa(*refus == nom_refusat::massa_llarg ? t_llarg : *refus == nom_refusat::caracters ? t_caracters : t_buit,
              {escurcat(nom)});
        return;
    }
    if (persones().contains(nom, Qt::CaseInsensitive)) return avisa(t_repetit, {escurcat(nom)});
    if (avis_persona_) avis_persona_(nom);
    actual_ = nom;
    desa();
    recorda(nom);
    omple();
}

persona menu_persona::captura() const {
    persona p;
    p.nom = actual_;
    p.acces = marcat(w_.mn_acces);
    p.modalitat = std::max(0, marcat(w_.fmus));
    p.ritme = w_.estat.ritme_actual;
    p.canco = w_.estat.canco_actual;
    p.instrument = instrument_;
    p.velocitat = passos_de_velocitat(w_.estat.tempo);
    // "Cursor normal" is 17 units wide; each step halves or doubles it.
    p.mida_cursor = nearest(std::log2(std::max(1, w_.cursor_actiu->width()) / 17.0));
    p.fons = w_.estat.fons_fitxer;
    p.cursor = w_.estat.cursor_fitxer;
    p.invertir_x = w_.mn_inv.Checked(0);
    p.invertir_y = w_.mn_inv.Checked(1);
    p.per_moviment = w_.mn_pos.Checked(1);
    p.ajuts = ajustos_.valors();
    return p;
}

void menu_persona::canvia_a(persona p) {
    if (tauler_->triant()) conserva_entrada(p, marcat(w_.mn_acces), ajustos_.valors());
    if (finestra_ajustos_) finestra_ajustos_->deixa_mesura();
    aplica(p);
}

// The plain shape again, at the size the picture had.
void menu_persona::cursor_senzill() {
    if (w_.cursor_actiu == w_.u_curs_shape) return;
    const bool visible = !w_.cursor_actiu->isHidden();
    w_.u_curs_shape->setGeometry(w_.cursor_actiu->geometry());
    w_.cursor_actiu->hide();
    w_.cursor_actiu = w_.u_curs_shape;
    w_.estat.cursor_fitxer.clear();
    w_.cursor_actiu->setVisible(visible);
}

// In the order the seed's own choices would come: what a later choice ticks on
// its way (a song ticks "per moviment", the mouse "Invertir X") is set last.
void menu_persona::aplica(const persona& p) {
    if (p.acces < 0) w_.mn_acces_Click(-1); // no source moves the pointer, as at a fresh start
    else tria_element(w_.mn_acces, p.acces);
    if (p.modalitat == 3 || p.modalitat == 4) {
        menu_array& items = p.modalitat == 3 ? w_.rmus : w_.CMUS;
        emit w_.fmus[p.modalitat]->menu()->aboutToShow(); // the submenu's opening is the seed's handler
        tria_element(items, p.modalitat == 3 ? p.ritme : p.canco);
    } else {
        tria_element(w_.fmus, p.modalitat);
    }
    tria_element(w_.mn_ritme, 1);
    for (int i = 0; i < std::abs(p.velocitat); ++i) tria_element(w_.mn_ritme, p.velocitat > 0 ? 0 : 2);
    if (p.instrument > 0) {
        tria_element(w_.mn_instrument, p.instrument);
    } else {
        w_.midi_cmd.ProgramChange(0, 0, 0); // the sound a fresh start has
        instrument_ = 0;
    }
    if (p.fons.isEmpty()) tria_element(w_.mn_img, 0);
    else w_.fons_carrega(p.fons);
    if (p.cursor.isEmpty()) cursor_senzill();
    else w_.cursor_carrega(p.cursor);
    tria_element(w_.mn_carat, 1);
    for (int i = 0; i < std::abs(p.mida_cursor); ++i) tria_element(w_.mn_carat, p.mida_cursor > 0 ? 2 : 0);
    if (w_.mn_inv.Checked(0) != p.invertir_x) tria_element(w_.mn_inv, 0);
    if (w_.mn_inv.Checked(1) != p.invertir_y) tria_element(w_.mn_inv, 1);
    tria_element(w_.mn_pos, p.per_moviment ? 1 : 0);
    ajustos_.aplica(p.ajuts);
}

} // namespace brisola
