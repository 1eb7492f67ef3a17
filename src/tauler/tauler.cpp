#include "tauler/tauler.h"

#include "app/finestra_main.h"
#include "persones/ajustos_persona.h"
#include "persones/textos.h"
#include "platform/caixa_imatge.h"
#include "platform/control_mobil.h"
#include "platform/parla_sistema.h"
#include "platform/temporitzador.h"
#include "platform/tintseer_biblioteca.h"
#include "tauler/caixes_tauler.h"

#include <QAction>
#include <QMenu>
#include <QPainter>
#include <QResizeEvent>

#include <cmath>

namespace brisola {

namespace {

enum : int { t_modalitat, t_instrument, t_velocitat, t_persona, t_acces, t_tocar, t_tornar, t_sense_veu };
const textos taula[] = {
    {"Modalitat", "Modalidad", "Modalidade"},
    {"Instrument", "Instrumento", "Instrumento"},
    {"Velocitat", "Velocidad", "Velocidade"},
    {"Persona", "Persona", "Persoa"},
    {"Accés", "Acceso", "Acceso"},
    {"Tornar a tocar", "Volver a tocar", "Volver tocar"},
    {"Tornar", "Volver", "Volver"},
    {"No hi ha veu en aquest ordinador: el tauler funciona sense parlar.",
     "No hay voz en este ordenador: el tablero funciona sin hablar.",
     "Non hai voz neste ordenador: o taboleiro funciona sen falar."},
};

constexpr double quiet_seguidor = 0.5;
constexpr double repeticio_s = 0.03; // a release and a press closer than this are one held key // s a tracker's reading may stay the same before it counts as lost

// Columns for n tiles: about as many as fit a 4:3 surface with square-ish tiles.
int columnes(size_t n) { return std::max(1, std::min(int(n), int(std::ceil(std::sqrt(double(n) * 1.5))))); }

std::vector<rajola> accions(const menu_array& m, int des_de, const std::function<bool(int)>& vol = {}) {
    std::vector<rajola> r;
    for (int i = des_de; i < m.size(); ++i)
        if (m[i]->isVisible() && m[i]->isEnabled() && (!vol || vol(i))) r.push_back(de_l_accio(m[i]));
    return r;
}

} // namespace

tauler::tauler(finestra_main& w, ajustos_persona& ajustos, fonts f)
    : QWidget(w.pantalla), w_(w), ajustos_(ajustos), fonts_(std::move(f)), escombrat_(w.serveis_.temps.crea()),
      mirada_(w.serveis_.temps.crea()), premuda_(w.serveis_.temps.crea()) {
    setAttribute(Qt::WA_TransparentForMouseEvents); // presses reach the switch's stage, moves the mouse's
    setAttribute(Qt::WA_NoSystemBackground);
    setFocusPolicy(Qt::NoFocus);
    setGeometry(w.pantalla->rect());
    w.pantalla->installEventFilter(this);
    escombrat_->on_tick([this] { pas_escombrat(); });
    mirada_->set_Interval(mirada_ms);
    mirada_->on_tick([this] { mira(); });
    premuda_->on_tick([this] {
        premuda_->set_Enabled(false);
        if (!premut_) return; // let go, and not pressed again at once
        menja_alliberament_ = true;
        obre();
    });
    ajustos_.pulsador().set_interceptor([this](bool premsa, int tecla) { return intercepta(premsa, tecla); });
    if (fonts_.caixes) fonts_.caixes->set_receptor([this](const QString& text) { return escombrant() && mostra(text); });
    ajustos_.on_canvi([this] { actualitza(); });
    actualitza();
}

tauler::~tauler() {
    ajustos_.pulsador().set_interceptor({});
    if (fonts_.caixes) fonts_.caixes->set_receptor({});
}

bool tauler::escombrant() const { return w_.mn_acces.Checked(3); }

bool tauler::amb_boto() const {
    return ajustos_.valors().tauler_cantonada > 0 && (w_.mn_acces.Checked(0) || w_.mn_acces.Checked(1) ||
                                                      w_.mn_acces.Checked(2));
}

QRectF tauler::boto() const {
    const double costat = height() / 6.0;
    const int c = ajustos_.valors().tauler_cantonada;
    return {c == 2 || c == 4 ? width() - costat : 0.0, c >= 3 ? height() - costat : 0.0, costat, costat};
}

void tauler::actualitza() {
    setGeometry(w_.pantalla->rect()); // a hidden surface's resizes reach no event filter
    const ajuts& a = ajustos_.valors();
    repos_.set_parametres(a.repos / 1000.0, height() * a.tolerancia / 100.0);
    escombrat_->set_Interval(a.escombrat);
    escombrat_->set_Enabled(obert() && escombrant() && a.tecla_seguent == 0);
    const bool mira = obert() ? !escombrant() : amb_boto();
    if (mira && !mirada_->Enabled()) darrera_mirada_ = w_.serveis_.temps.segons();
    mirada_->set_Enabled(mira);
    setVisible(obert() || amb_boto());
    if (isVisible()) raise();
    update();
}

const std::vector<rajola>& tauler::rajoles() const {
    static const std::vector<rajola> cap;
    return nav_ ? nav_->rajoles() : cap;
}

int tauler::ressaltada() const { return nav_ && escombrant() ? nav_->ressaltada() : repos_.objectiu(); }

std::vector<QRectF> tauler::llocs() const {
    if (!missatge_.isEmpty()) return {QRectF(rect())};
    const size_t n = rajoles().size();
    const int cols = columnes(n), files = int((n + size_t(cols) - 1) / size_t(cols));
    std::vector<QRectF> r;
    for (size_t i = 0; i < n; ++i)
        r.emplace_back(width() * double(i % size_t(cols)) / cols, height() * double(i / size_t(cols)) / files,
                       double(width()) / cols, double(height()) / files);
    return r;
}

std::vector<rajola> tauler::construeix() const {
    const QString& idioma = w_.estat.idioma;
    auto t = [&](int i) { return tradueix(taula[i], idioma); };
    const QString tornar = t(t_tornar);
    // A rhythm or a song is chosen as from the menu: its submenu's opening (the seed's own handler) first.
    auto obre_submenu = [this](int submenu) { return [this, submenu] { emit w_.fmus[submenu]->menu()->aboutToShow(); }; };
    std::vector<rajola> modalitats = accions(w_.fmus, 0, [](int i) { return i < 3; });
    for (int submenu : {3, 4}) {
        std::vector<rajola> items;
        const menu_array& m = submenu == 3 ? w_.rmus : w_.CMUS;
        for (int i = 1; i < m.size(); ++i)
            if (m[i]->isVisible()) items.push_back(de_l_accio(m[i], obre_submenu(submenu)));
        afegeix_grup(modalitats, de_l_accio(w_.fmus[submenu]).text, std::move(items), tornar);
    }
    std::vector<rajola> instruments = accions(w_.mn_instrument, 1);
    for (size_t i = 0; i < instruments.size(); ++i) instruments[i].marcada = int(i) + 1 == fonts_.instrument();

    std::vector<rajola> grups;
    afegeix_grup(grups, t(t_modalitat), std::move(modalitats), tornar);
    afegeix_grup(grups, t(t_instrument), std::move(instruments), tornar);
    std::vector<rajola> velocitats = accions(w_.mn_ritme, 0);
    for (rajola& r : velocitats) r.marcada = false; // a speed is a step from the last, not a state
    afegeix_grup(grups, t(t_velocitat), std::move(velocitats), tornar);
    grups.push_back(de_l_accio(w_.mn_inst[2]));                                  // Fer silenci
    std::vector<rajola> persones;
    if (fonts_.persones)
        for (QAction* a : fonts_.persones->actions())
            if (a->isCheckable()) persones.push_back(de_l_accio(a));
    afegeix_grup(grups, t(t_persona), std::move(persones), tornar);
    afegeix_grup(grups, t(t_acces), accions(w_.mn_acces, 0), tornar);
    rajola tocar;
    tocar.t = rajola::tipus::tanca;
    tocar.text = t(t_tocar);
    grups.push_back(tocar);
    return grups;
}

// The timers that make the instrument sound: the pointer's three and the accompaniment's two.
std::array<temporitzador*, 5> tauler::timers_de_musica() const {
    return {w_.T_mouse.get(), w_.t_joy.get(), w_.t_tintseer.get(), w_.t_acords.get(), w_.t_ritmes.get()};
}

void tauler::atura_musica() {
    if (escombrant()) w_.pantalla_MouseUp(1, 0, 0, 0); // as if the switch were let go
    timers_actius_.clear();
    for (temporitzador* t : timers_de_musica()) {
        timers_actius_.push_back(t->Enabled());
        t->set_Enabled(false);
    }
    if (w_.estat.canco_actual != 0) w_.reproductor.SetSongTempo(1);
    else w_.StopAllSound();
}

void tauler::represa() {
    const auto timers = timers_de_musica();
    for (size_t i = 0; i < timers_actius_.size(); ++i) timers[i]->set_Enabled(timers_actius_[i]);
    timers_actius_.clear();
}

void tauler::obre() {
    if (obert()) return;
    premuda_->set_Enabled(false);
    atura_musica();
    nav_.emplace(construeix());
    repos_.reinicia();
    actualitza();
    anuncia();
}

void tauler::tanca() {
    if (!obert()) return;
    nav_.reset();
    missatge_.clear();
    represa();
    actualitza();
}

bool tauler::intercepta(bool premsa, int tecla) {
    const ajuts& a = ajustos_.valors();
    // A key held down can come as a release and a press at once (the keyboard's repeat): still held.
    const double ara = w_.serveis_.temps.segons();
    const bool repeticio = premsa && ara - alliberat_a_ < repeticio_s;
    if (!premsa) alliberat_a_ = ara;
    premut_ = premsa;
    if (tecla != 0 && tecla == a.tecla_seguent) { // the "next" key never plays
        if (premsa && obert() && missatge_.isEmpty()) {
            nav_->seguent();
            anuncia();
            update();
        }
        return true;
    }
    if (!obert()) {
        if (!premsa && std::exchange(menja_alliberament_, false)) return true;
        // The hold's clock starts at a press; a release leaves it to find the switch up.
        if (a.tauler_pulsador > 0 && premsa && !repeticio) {
            premuda_->set_Interval(a.tauler_pulsador);
            premuda_->set_Enabled(true);
        }
        return false;
    }
    if (!premsa || repeticio) return true;
    menja_alliberament_ = true; // the press never reached the instrument: nor will its release
    if (!missatge_.isEmpty()) tanca();
    else tria(nav_->ressaltada());
    return true;
}

void tauler::pas_escombrat() {
    if (!obert() || !missatge_.isEmpty()) return;
    if (!nav_->avanca()) return tanca();
    anuncia();
    update();
}

void tauler::tria(int index) {
    if (!missatge_.isEmpty()) return tanca();
    const rajola* r = nav_->tria(index);
    if (!r) {
        repos_.reinicia();
        escombrat_->set_Enabled(false); // the highlight's period starts afresh in the group
        actualitza();
        anuncia();
        return;
    }
    executa(*r);
}

// The board closes first, so that the choice's handler finds the instrument as it left it.
void tauler::executa(const rajola& r) {
    const std::function<void()> tria = r.tria;
    tanca();
    if (!tria) return;
    QStringList caixes = fonts_.caixes ? fonts_.caixes->desvia(tria) : (tria(), QStringList());
    if (caixes.isEmpty()) return;
    obre();
    missatge_ = caixes.join("\n");
    anuncia();
    update();
}

// A box's text as the only tile, which the one input closes.
bool tauler::mostra(const QString& text) {
    obre();
    if (!missatge_.contains(text)) missatge_ += (missatge_.isEmpty() ? "" : "\n") + text;
    update();
    return true;
}

void tauler::anuncia() {
    if (!ajustos_.valors().parla || !fonts_.parla || !obert()) return;
    if (!fonts_.parla->disponible()) {
        if (!std::exchange(veu_absent_dita_, true)) mostra(tradueix(taula[t_sense_veu], w_.estat.idioma));
        return;
    }
    const int i = missatge_.isEmpty() ? ressaltada() : -1;
    const QString text = missatge_.isEmpty() ? (i >= 0 && size_t(i) < rajoles().size() ? rajoles()[size_t(i)].text : QString())
                                             : missatge_;
    if (!text.isEmpty()) fonts_.parla->diu(text, w_.estat.idioma);
}

// Where the pointer is on the board: the drawn cursor while it is closed; while it
// is open the surface stands still, so the access method's own place, drawn as the cursor would be.
std::optional<QPointF> tauler::punter() {
    const double ara = w_.serveis_.temps.segons();
    if (w_.mn_acces.Checked(1)) {
        int16_t v = 0, h = 0;
        w_.serveis_.tintseer.TintseerObtenirPosicio(v, h);
        if (std::pair<int, int>{v, h} != lectura_seguidor_) {
            lectura_seguidor_ = {v, h};
            canvi_seguidor_ = ara;
        }
        if (ara - canvi_seguidor_ >= quiet_seguidor) return std::nullopt;
        if (!obert()) return QRectF(w_.cursor_actiu->geometry()).center();
        return QPointF(w_.mn_inv.Checked(0) ? h : 640 - h, w_.mn_inv.Checked(1) ? 480 - v : v) *
               (width() / 640.0);
    }
    if (w_.mn_acces.Checked(0) && ratoli_fora_) return std::nullopt; // a mouse gone from the window rests nowhere
    if (!obert()) return QRectF(w_.cursor_actiu->geometry()).center();
    double x = 0, y = 0;
    if (w_.mn_acces.Checked(0)) {
        x = w_.estat.ratoli_x * 640.0 / std::max(1.0f, w_.pantalla->ScaleWidth());
        y = w_.estat.ratoli_y * 480.0 / std::max(1.0f, w_.pantalla->ScaleHeight());
    } else {
        JOYINFO l;
        if (w_.serveis_.joystick.joyGetPos(0, l) != JOYERR_NOERROR) return std::nullopt;
        x = l.wXpos * 640.0 / 66000;
        y = l.wYpos * 480.0 / 66000;
    }
    x = w_.mn_inv.Checked(0) ? x : 640 - x;
    y = w_.mn_inv.Checked(1) ? 480 - y : y;
    return QPointF(x * width() / 640.0, y * height() / 480.0);
}

void tauler::mira() {
    const double ara = w_.serveis_.temps.segons();
    const double dt = std::min(0.2, ara - darrera_mirada_);
    darrera_mirada_ = ara;
    punter_vist_ = punter();
    const QPointF* p = punter_vist_ ? &*punter_vist_ : nullptr;
    const int anterior = repos_.objectiu();
    if (!obert()) {
        if (repos_.mira(p, {boto()}, dt) == 0) obre();
    } else if (int triada = repos_.mira(p, llocs(), dt); triada >= 0) {
        return tria(triada);
    }
    if (repos_.objectiu() != anterior) anuncia();
    update();
}

bool tauler::eventFilter(QObject* objecte, QEvent* event) {
    if (objecte == w_.pantalla && (event->type() == QEvent::Leave || event->type() == QEvent::MouseMove))
        ratoli_fora_ = event->type() == QEvent::Leave;
    if (objecte == w_.pantalla && event->type() == QEvent::Resize) {
        setGeometry(QRect(QPoint(), static_cast<QResizeEvent*>(event)->size()));
        actualitza();
    }
    return false;
}

void tauler::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    QFont lletra = font();
    lletra.setBold(true);
    lletra.setPixelSize(std::max(12, height() / 12)); // read from two metres
    p.setFont(lletra);
    if (!obert()) {
        const QRectF b = boto();
        p.fillRect(b, Qt::black);
        p.setPen(QPen(Qt::white, 3));
        for (int i = 0; i < 4; ++i) // four small tiles: the board
            p.drawRect(QRectF(b.x() + b.width() * (0.2 + 0.35 * (i % 2)), b.y() + b.height() * (0.2 + 0.35 * (i / 2)),
                              b.width() * 0.25, b.height() * 0.25));
    } else {
        p.fillRect(rect(), Qt::black);
        const std::vector<QRectF> llocs = this->llocs();
        for (size_t i = 0; i < llocs.size(); ++i) {
            const bool ressaltat = int(i) == ressaltada();
            const QRectF r = llocs[i].adjusted(4, 4, -4, -4);
            p.fillRect(r, ressaltat ? QColor(Qt::yellow) : QColor(20, 20, 20));
            p.setPen(QPen(ressaltat ? Qt::black : Qt::white, 4));
            p.drawRect(r);
            QString text = missatge_.isEmpty() ? rajoles()[i].text : missatge_;
            if (missatge_.isEmpty() && rajoles()[i].marcada) text = "✔ " + text;
            if (missatge_.isEmpty() && rajoles()[i].t == rajola::tipus::grup) text += " ▸";
            p.drawText(r.adjusted(8, 8, -8, -8), Qt::AlignCenter | Qt::TextWordWrap, text);
        }
    }
    if (!punter_vist_ || (obert() && escombrant())) return;
    // The pointer, and the dwell filling round it.
    const double radi = height() / 16.0;
    const QRectF anell(*punter_vist_ - QPointF(radi, radi), QSizeF(2 * radi, 2 * radi));
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(Qt::black, 8));
    p.drawEllipse(anell);
    p.setPen(QPen(Qt::white, 4));
    p.drawEllipse(anell);
    p.setPen(QPen(QColor(0, 200, 255), 8, Qt::SolidLine, Qt::FlatCap));
    p.drawArc(anell, 90 * 16, -int(repos_.progres() * 360 * 16));
}

} // namespace brisola
