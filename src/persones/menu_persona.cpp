#include "persones/menu_persona.h"

#include "app/finestra_main.h"
#include "platform/missatges.h"
#include "platform/control_mobil.h"
#include "persones/finestra_ajustos.h"
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

#include <cmath>

namespace brisola {

namespace {

// The menu's captions and its messages, in the interface's languages.
enum : int { t_menu, t_cap, t_desa, t_nova, t_ajustos, t_tauler, t_titol, t_pregunta, t_buit, t_llarg, t_caracters, t_repetit,
             t_illegible, t_retallada, t_no_desat, t_no_existeix };
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
    {"El nom «%1» no pot dur «/», «..» ni caràcters de control.",
     "El nombre «%1» no puede llevar «/», «..» ni caracteres de control.",
     "O nome «%1» non pode levar «/», «..» nin caracteres de control."},
    {"Ja hi ha una persona que es diu «%1».", "Ya hay una persona que se llama «%1».", "Xa hai unha persoa que se chama «%1»."},
    {"No es pot llegir el fitxer de %1 (%2): comença amb els valors de sempre, i el fitxer no es tocarà fins que el "
     "deseu.",
     "No se puede leer el archivo de %1 (%2): empieza con los valores de siempre, y el archivo no se tocará hasta que "
     "lo guardéis.",
     "Non se pode ler o ficheiro de %1 (%2): comeza cos valores de sempre, e o ficheiro non se tocará ata que o "
     "gardedes."},
    {"Algun valor del fitxer de %1 era fora del seu marge i s'ha ajustat.",
     "Algún valor del archivo de %1 estaba fuera de su margen y se ha ajustado.",
     "Algún valor do ficheiro de %1 estaba fóra da súa marxe e axustouse."},
    {"No s'ha pogut desar %1 (%2).", "No se ha podido guardar %1 (%2).", "Non se puido gardar %1 (%2)."},
    {"No hi ha cap persona que es digui «%1»: Brisola comença sense persona.",
     "No hay ninguna persona que se llame «%1»: Brisola empieza sin persona.",
     "Non hai ningunha persoa que se chame «%1»: Brisola comeza sen persoa."},
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

int marcat(const menu_array& m) {
    for (int16_t i = 0; i < m.size(); ++i)
        if (m.Checked(i)) return i;
    return -1;
}

} // namespace

menu_persona::menu_persona(finestra_main& w, demana demana_nom, serveis_persona s)
    : w_(w), demana_nom_(std::move(demana_nom)), ajustos_(w, s.punter, s.volum) {
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
        QAction* a = menu_->addAction(nom, this, [this, nom] { tria(nom); });
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

void menu_persona::avisa(int t, const QStringList& dades) { w_.serveis_.caixes.avisa(text(w_.estat.idioma, t, dades)); }

void menu_persona::inicia(const QString& demanada) {
    QString nom = demanada;
    if (nom.isEmpty()) {
        QFile darrera(carpeta() + "/darrera");
        if (darrera.open(QIODevice::ReadOnly)) nom = QString::fromUtf8(darrera.readAll()).trimmed();
    }
    if (nom.isEmpty()) return;
    if (!persones().contains(nom)) {
        if (!demanada.isEmpty()) avisa(t_no_existeix, {nom});
        return;
    }
    tria(nom);
}

void menu_persona::tria(const QString& nom) {
    persona_llegida llegida = llegeix_persona(fitxer(nom), nom);
    if (llegida.illegible) avisa(t_illegible, {nom, fitxer(nom)});
    else if (llegida.retallada) avisa(t_retallada, {nom});
    aplica(llegida.p);
    actual_ = nom;
    recorda(nom);
    omple();
    if (avis_persona_) avis_persona_();
}

void menu_persona::cap_persona() {
    actual_.clear();
    ajustos_.aplica(ajuts{}); // the seed's instrument: every aid off
    recorda({});
    omple();
    if (avis_persona_) avis_persona_();
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
              {nom});
        return;
    }
    if (persones().contains(nom, Qt::CaseInsensitive)) return avisa(t_repetit, {nom});
    actual_ = nom;
    desa();
    recorda(nom);
    omple();
    if (avis_persona_) avis_persona_();
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

// In the order the seed's own choices would come: what a later choice ticks on
// its way (a song ticks "per moviment", the mouse "Invertir X") is set last.
void menu_persona::aplica(const persona& p) {
    tria_element(w_.mn_acces, p.acces);
    if (p.modalitat == 3 || p.modalitat == 4) {
        menu_array& items = p.modalitat == 3 ? w_.rmus : w_.CMUS;
        emit w_.fmus[p.modalitat]->menu()->aboutToShow(); // the submenu's opening is the seed's handler
        tria_element(items, p.modalitat == 3 ? p.ritme : p.canco);
    } else {
        tria_element(w_.fmus, p.modalitat);
    }
    tria_element(w_.mn_ritme, 1);
    for (int i = 0; i < std::abs(p.velocitat); ++i) tria_element(w_.mn_ritme, p.velocitat > 0 ? 0 : 2);
    if (p.instrument > 0) tria_element(w_.mn_instrument, p.instrument);
    if (p.fons.isEmpty()) tria_element(w_.mn_img, 0);
    else w_.fons_carrega(p.fons);
    if (!p.cursor.isEmpty()) w_.cursor_carrega(p.cursor);
    tria_element(w_.mn_carat, 1);
    for (int i = 0; i < std::abs(p.mida_cursor); ++i) tria_element(w_.mn_carat, p.mida_cursor > 0 ? 2 : 0);
    if (w_.mn_inv.Checked(0) != p.invertir_x) tria_element(w_.mn_inv, 0);
    if (w_.mn_inv.Checked(1) != p.invertir_y) tria_element(w_.mn_inv, 1);
    tria_element(w_.mn_pos, p.per_moviment ? 1 : 0);
    ajustos_.aplica(p.ajuts);
}

} // namespace brisola
