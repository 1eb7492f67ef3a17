#include "persones/capa_superficie.h"

#include "app/finestra_main.h"
#include "platform/caixa_imatge.h"
#include "platform/control_mobil.h"
#include "platform/temporitzador.h"

#include <QPainter>
#include <QRegion>
#include <QResizeEvent>

#include <algorithm>

namespace brisola {

namespace {

constexpr int mirada_ms = 33; // the cursor moves every few ms: the ring follows at the screen's pace
constexpr int files = 4;

double gruix_anell(const QRectF& anell) { return std::max(4.0, anell.width() / 6); }

} // namespace

capa_superficie::capa_superficie(finestra_main& w)
    : QWidget(w.pantalla), w_(w), mirada_(w.serveis_.temps.crea()) {
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setAttribute(Qt::WA_NoSystemBackground);
    setGeometry(w.pantalla->rect());
    w.pantalla->installEventFilter(this);
    mirada_->set_Interval(mirada_ms);
    mirada_->on_tick([this] { mira(); });
    hide();
}

capa_superficie::~capa_superficie() = default;

void capa_superficie::set_cursor_contrast(int percent) {
    cursor_contrast_ = std::clamp(percent, 0, 25);
    actualitza_rellotge();
}

void capa_superficie::set_graella(bool visible) {
    graella_ = visible;
    actualitza_rellotge();
}

void capa_superficie::set_mesura(std::optional<caixa_abast> abast, int segons) {
    mesurant_ = segons > 0;
    mesura_ = abast;
    segons_ = segons;
    actualitza_rellotge();
}

void capa_superficie::actualitza_rellotge() {
    const bool cal = cursor_contrast_ > 0 || graella_ || mesurant_;
    setVisible(cal);
    if (cal) raise();
    mirada_->set_Enabled(cal);
    actualitza();
}

int capa_superficie::columnes() const {
    if (!graella_) return 0;
    if (w_.fmus.Checked(1)) return 16;
    if (w_.fmus.Checked(2)) return std::max(1, int(w_.estat.acord_notes.size() / 2));
    return 0;
}

QRectF capa_superficie::anell() const {
    if (cursor_contrast_ == 0) return {};
    const double diametre = std::max(8.0, height() * cursor_contrast_ / 100.0);
    const QPointF centre = QRectF(w_.cursor_actiu->geometry()).center();
    return {centre.x() - diametre / 2, centre.y() - diametre / 2, diametre, diametre};
}

void capa_superficie::mira() {
    const QRectF ara = anell();
    if (columnes() != columnes_vistes_) return actualitza();
    if (ara == anell_vist_) return;
    // Only the ring moved: the place it leaves and the place it takes, with its edges.
    auto amb_vora = [](const QRectF& r) {
        const double vora = gruix_anell(r) + 2;
        return r.isEmpty() ? QRect() : r.adjusted(-vora, -vora, vora, vora).toAlignedRect();
    };
    update(QRegion(amb_vora(anell_vist_)) + amb_vora(ara));
    anell_vist_ = ara;
}

void capa_superficie::actualitza() {
    anell_vist_ = anell();
    columnes_vistes_ = columnes();
    update();
}

bool capa_superficie::eventFilter(QObject* objecte, QEvent* event) {
    if (objecte == w_.pantalla && event->type() == QEvent::Resize)
        setGeometry(QRect(QPoint(), static_cast<QResizeEvent*>(event)->size()));
    return false;
}

void capa_superficie::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    const int columnes_ara = columnes();
    if (columnes_ara > 0) {
        // Dark lines with a light core: seen on a light and a dark surface alike.
        for (auto [color, gruix] : {std::pair{QColor(Qt::black), 4}, std::pair{QColor(Qt::white), 2}}) {
            p.setPen(QPen(color, gruix));
            for (int c = 1; c < columnes_ara; ++c) p.drawLine(QLineF(width() * c / double(columnes_ara), 0,
                                                                      width() * c / double(columnes_ara), height()));
            for (int f = 1; f < files; ++f) p.drawLine(QLineF(0, height() * f / double(files), width(), height() * f / double(files)));
        }
    }
    if (const QRectF r = anell(); !r.isEmpty()) {
        const double gruix = gruix_anell(r);
        p.setBrush(Qt::NoBrush);
        p.setPen(QPen(Qt::black, gruix));
        p.drawEllipse(r);
        p.setPen(QPen(Qt::white, gruix / 2));
        p.drawEllipse(r);
    }
    if (!mesurant_) return;
    if (mesura_) {
        const QRectF caixa(mesura_->x0 * width(), mesura_->y0 * height(), (mesura_->x1 - mesura_->x0) * width(),
                           (mesura_->y1 - mesura_->y0) * height());
        p.setBrush(QColor(255, 255, 0, 60));
        p.setPen(QPen(Qt::black, 6));
        p.drawRect(caixa);
        p.setPen(QPen(Qt::yellow, 3));
        p.drawRect(caixa);
    }
    QFont lletra = font();
    lletra.setPixelSize(std::max(16, height() / 8));
    lletra.setBold(true);
    p.setFont(lletra);
    p.setPen(Qt::black);
    p.drawText(rect().translated(3, 3), Qt::AlignCenter, QString::number(segons_));
    p.setPen(Qt::white);
    p.drawText(rect(), Qt::AlignCenter, QString::number(segons_));
}

} // namespace brisola
