#include "tauler/tauler.h"

#include "app/finestra_main.h"
#include "persones/ajustos_persona.h"
#include "persones/metode_acces.h"
#include "persones/textos.h"
#include "platform/caixa_imatge.h"
#include "platform/control_mobil.h"
#include "platform/parla_sistema.h"
#include "platform/temporitzador.h"
#include "tauler/caixes_tauler.h"
#include "tauler/menus_tauler.h"

#include <QAction>
#include <QKeyEvent>
#include <QKeySequence>
#include <QPainter>
#include <QResizeEvent>
#include <QScopedValueRollback>

#include <cmath>

namespace brisola {

namespace {

const textos sense_veu = {"No hi ha veu en aquest ordinador: el tauler funciona sense parlar.",
                          "No hay voz en este ordenador: el tablero funciona sin hablar.",
                          "Non hai voz neste ordenador: o taboleiro funciona sen falar."};
const textos espera_seguent = {"Premeu «%1» per passar a la següent", "Pulse «%1» para pasar a la siguiente",
                               "Prema «%1» para pasar á seguinte"};

// Columns for n tiles: about as many as fit a 4:3 surface with square-ish tiles.
int columnes(size_t n) { return std::max(1, std::min(int(n), int(std::ceil(std::sqrt(double(n) * 1.5))))); }

constexpr int marge = 12; // between a tile's edge and its caption
constexpr auto alineacio = Qt::AlignCenter | Qt::TextWordWrap;

} // namespace

tauler::tauler(finestra_main& w, ajustos_persona& ajustos, fonts f)
    : QWidget(w.pantalla), w_(w), ajustos_(ajustos), fonts_(std::move(f)), pulsador_(w.serveis_.temps, *this),
      punter_(w.serveis_.temps, w.serveis_.tintseer, w.serveis_.joystick,
              {[this] { return vista(); }, [this] { return obert() ? llocs() : std::vector<QRectF>{boto()}; },
               [this](int i) { triat(i); },
               [this](bool nou) {
                   if (nou) anuncia();
                   update();
               }}) {
    setAttribute(Qt::WA_TransparentForMouseEvents); // presses reach the switch's stage, moves the mouse's
    setAttribute(Qt::WA_NoSystemBackground);
    setFocusPolicy(Qt::NoFocus);
    setGeometry(w.pantalla->rect());
    w.pantalla->installEventFilter(this);
    w.installEventFilter(this); // after the switch's stage: Escape is seen first
    // The access method, however chosen (menu, board, person), takes the button and the clocks with it.
    for (int i = 0; i < w.mn_acces.size(); ++i) connect(w.mn_acces[i], &QAction::triggered, this, [this] { actualitza(); });
    ajustos_.pulsador().set_interceptor([this](bool premsa, int tecla) { return pulsador_.intercepta(premsa, tecla); });
    if (fonts_.caixes) fonts_.caixes->set_receptor([this](const QString& text) { return escombrant() && mostra(text); });
    ajustos_.on_canvi([this] { actualitza(); });
    actualitza();
}

tauler::~tauler() {
    ajustos_.pulsador().set_interceptor({});
    if (fonts_.caixes) fonts_.caixes->set_receptor({});
}

bool tauler::escombrant() const { return w_.mn_acces.Checked(metode_acces::pulsador); }

bool tauler::amb_boto() const {
    using namespace metode_acces;
    return ajustos_.valors().tauler_cantonada > 0 &&
           (w_.mn_acces.Checked(ratoli) || w_.mn_acces.Checked(seguidor) || w_.mn_acces.Checked(joystick));
}

QRectF tauler::boto() const {
    const double costat = height() / 6.0;
    const int c = ajustos_.valors().tauler_cantonada;
    return {c == 2 || c == 4 ? width() - costat : 0.0, c >= 3 ? height() - costat : 0.0, costat, costat};
}

void tauler::actualitza() {
    setGeometry(w_.pantalla->rect()); // a hidden surface's resizes reach no event filter
    const ajuts& a = ajustos_.valors();
    punter_.set_parametres(a.repos / 1000.0, height() * a.tolerancia / 100.0);
    pulsador_.set_temps({a.tauler_pulsador, a.escombrat, a.tecla_seguent},
                        obert() && escombrant() && a.tecla_seguent == 0);
    punter_.mira_si(obert() ? !escombrant() : amb_boto());
    setVisible(obert() || amb_boto());
    if (isVisible()) raise();
    update();
}

const std::vector<rajola>& tauler::rajoles() const {
    static const std::vector<rajola> cap;
    return nav_ ? nav_->rajoles() : cap;
}

int tauler::ressaltada() const { return nav_ && escombrant() ? nav_->ressaltada() : punter_.objectiu(); }

// With a "next" key the highlight waits for that key: the board says so, or the player would wait for nothing.
QString tauler::indicacio() const {
    const int tecla = ajustos_.valors().tecla_seguent;
    if (!obert() || !escombrant() || tecla == 0 || !missatge_.isEmpty()) return {};
    return tradueix(espera_seguent, w_.estat.idioma).arg(QKeySequence(tecla).toString(QKeySequence::NativeText));
}

QRectF tauler::lloc_de_la_indicacio() const {
    const double alt = indicacio().isEmpty() ? 0.0 : height() / 12.0;
    return {0.0, height() - alt, double(width()), alt};
}

std::vector<QRectF> tauler::llocs() const {
    if (!missatge_.isEmpty()) return {QRectF(rect())};
    const size_t n = rajoles().size();
    const int cols = columnes(n), files = int((n + size_t(cols) - 1) / size_t(cols));
    const double alt = lloc_de_la_indicacio().top();
    std::vector<QRectF> r;
    for (size_t i = 0; i < n; ++i)
        r.emplace_back(width() * double(i % size_t(cols)) / cols, alt * double(i / size_t(cols)) / files,
                       double(width()) / cols, alt / files);
    return r;
}

punter_tauler::vista tauler::vista() const {
    punter_tauler::vista v;
    v.acces = -1;
    for (int16_t i = 0; i < w_.mn_acces.size(); ++i)
        if (w_.mn_acces.Checked(i)) v.acces = i;
    v.invertir_x = w_.mn_inv.Checked(0);
    v.invertir_y = w_.mn_inv.Checked(1);
    v.mida = size();
    if (!obert()) v.cursor = QRectF(w_.cursor_actiu->geometry()).center();
    v.ratoli = {w_.estat.ratoli_x / std::max(1.0f, w_.pantalla->ScaleWidth()),
                w_.estat.ratoli_y / std::max(1.0f, w_.pantalla->ScaleHeight())};
    return v;
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
    atura_musica();
    nav_.emplace(rajoles_dels_menus(w_, fonts_.persones, fonts_.instrument ? fonts_.instrument() : 0));
    punter_.reinicia();
    punter_.espera_moviment();
    actualitza();
    anuncia();
}

void tauler::tanca() {
    if (!obert()) return;
    nav_.reset();
    missatge_.clear();
    obert_per_avis_ = false;
    premsa_abans_de_l_avis_ = -1;
    represa();
    actualitza();
}

void tauler::avanca() {
    if (!obert() || !missatge_.isEmpty()) return;
    if (!nav_->avanca()) return tanca();
    anuncia();
    update();
}

void tauler::seguent() {
    if (!missatge_.isEmpty()) return;
    nav_->seguent();
    anuncia();
    update();
}

// A press reads only a box that showed before it began: one begun earlier meant something else.
void tauler::prem() {
    if (std::exchange(premsa_abans_de_l_avis_, -1) != ajustos_.pulsador().premsa()) tria(ressaltada());
}

bool tauler::premsa_en_espera() const { return ajustos_.pulsador().premsa_en_espera(); }

void tauler::triat(int index) {
    if (!obert()) return obre(); // the corner's button
    tria(index);
}

void tauler::tria(int index) {
    if (!missatge_.isEmpty()) return llegit();
    const rajola* r = nav_->tria(index);
    if (!r) return mostra_rajoles();
    executa(*r);
}

// The tiles shown afresh: the rest and the highlight's period start again.
void tauler::mostra_rajoles() {
    punter_.reinicia();
    pulsador_.reinicia_escombrat();
    actualitza();
    anuncia();
}

// A box read: the board it interrupted goes on, one opened for it closes. It was left by
// resting anywhere: nothing to leave after it but the place the pointer rests on now.
void tauler::llegit() {
    missatge_.clear();
    punter_.allibera();
    if (std::exchange(obert_per_avis_, false)) return tanca();
    punter_.espera_moviment();
    mostra_rajoles();
}

// The board closes first, so that the choice's handler finds the instrument as it left it.
void tauler::executa(const rajola& r) {
    const std::function<void()> tria = r.tria;
    tanca();
    if (!tria) return;
    QScopedValueRollback<bool> triant(triant_, true);
    QStringList caixes = fonts_.caixes ? fonts_.caixes->desvia(tria) : (tria(), QStringList());
    if (caixes.isEmpty()) return;
    mostra(caixes.join("\n"));
}

// A box's text as the only tile, which the one input closes. The box is chosen by resting
// anywhere, the place just chosen too.
bool tauler::mostra(const QString& text) {
    if (!obert()) {
        obre();
        obert_per_avis_ = true;
    }
    premsa_abans_de_l_avis_ = premsa_en_espera() ? ajustos_.pulsador().premsa() : -1;
    if (!missatge_.contains(text)) missatge_ += (missatge_.isEmpty() ? "" : "\n") + text;
    punter_.allibera();
    anuncia();
    update();
    return true;
}

void tauler::anuncia() {
    if (!ajustos_.valors().parla || !fonts_.parla || !obert()) return;
    if (!fonts_.parla->disponible()) {
        if (!std::exchange(veu_absent_dita_, true)) mostra(tradueix(sense_veu, w_.estat.idioma));
        return;
    }
    const int i = missatge_.isEmpty() ? ressaltada() : -1;
    const QString text = missatge_.isEmpty() ? (i >= 0 && size_t(i) < rajoles().size() ? rajoles()[size_t(i)].text : QString())
                                             : missatge_;
    if (!text.isEmpty()) fonts_.parla->diu(text, w_.estat.idioma);
}

bool tauler::eventFilter(QObject* objecte, QEvent* event) {
    if (objecte == w_.pantalla) punter_.veu(*event);
    if (objecte == w_.pantalla && event->type() == QEvent::Resize) {
        setGeometry(QRect(QPoint(), static_cast<QResizeEvent*>(event)->size()));
        actualitza();
    }
    // Escape closes the board for a helper, before the switch's stage takes it for a press.
    if (objecte == &w_ && obert() && (event->type() == QEvent::KeyPress || event->type() == QEvent::KeyRelease) &&
        static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape) {
        if (event->type() == QEvent::KeyPress) tanca();
        return true;
    }
    return false;
}

QString tauler::text(size_t i) const {
    if (!missatge_.isEmpty()) return missatge_;
    const rajola& r = rajoles()[i];
    return (r.marcada ? "✔ " : "") + r.text + (r.t == rajola::tipus::grup ? " ▸" : "");
}

QRectF tauler::lloc_del_text(size_t i) const { return llocs().at(i).adjusted(marge, marge, -marge, -marge); }

QFont tauler::lletra(size_t i) const {
    QFont lletra = font();
    lletra.setBold(true);
    const QRectF lloc = lloc_del_text(i);
    // Read from two metres where it fits; smaller where it must, but never below a twentieth of the height.
    const int minima = std::max(12, height() / 20);
    for (int mida = std::max(minima, height() / 12); mida >= minima; --mida) {
        lletra.setPixelSize(mida);
        if (lloc.contains(QFontMetricsF(lletra).boundingRect(lloc, alineacio, text(i))) || mida == minima) break;
    }
    return lletra;
}

QFont tauler::lletra_de_la_indicacio() const {
    QFont lletra = font();
    lletra.setPixelSize(std::max(12, int(lloc_de_la_indicacio().height() * 0.6)));
    return lletra;
}

void tauler::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    if (!obert()) {
        dibuixa_boto(p);
    } else {
        p.fillRect(rect(), Qt::black);
        const std::vector<QRectF> llocs = this->llocs();
        for (size_t i = 0; i < llocs.size(); ++i) {
            const bool ressaltat = int(i) == ressaltada();
            const QRectF r = llocs[i].adjusted(4, 4, -4, -4);
            p.fillRect(r, ressaltat ? QColor(Qt::yellow) : QColor(20, 20, 20));
            p.setPen(QPen(ressaltat ? Qt::black : Qt::white, 4));
            p.drawRect(r);
            p.setFont(lletra(i));
            p.drawText(lloc_del_text(i), alineacio, text(i));
        }
        p.setPen(Qt::white);
        p.setFont(lletra_de_la_indicacio());
        p.drawText(lloc_de_la_indicacio(), Qt::AlignCenter, indicacio());
    }
    if (!obert() || !escombrant()) dibuixa_punter(p);
}

void tauler::dibuixa_boto(QPainter& p) const {
    const QRectF b = boto();
    p.fillRect(b, Qt::black);
    p.setPen(QPen(Qt::white, 3));
    for (int i = 0; i < 4; ++i) // four small tiles: the board
        p.drawRect(QRectF(b.x() + b.width() * (0.2 + 0.35 * (i % 2)), b.y() + b.height() * (0.2 + 0.35 * (i / 2)),
                          b.width() * 0.25, b.height() * 0.25));
}

// The pointer, and the dwell filling round it.
void tauler::dibuixa_punter(QPainter& p) const {
    if (!punter_.punt()) return;
    const double radi = height() / 16.0;
    const QRectF anell(*punter_.punt() - QPointF(radi, radi), QSizeF(2 * radi, 2 * radi));
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(Qt::black, 8));
    p.drawEllipse(anell);
    p.setPen(QPen(Qt::white, 4));
    p.drawEllipse(anell);
    p.setPen(QPen(QColor(0, 200, 255), 8, Qt::SolidLine, Qt::FlatCap));
    p.drawArc(anell, 90 * 16, -int(punter_.progres() * 360 * 16));
}

} // namespace brisola
