#include "sessions/informe_pdf.h"

#include <QChart>
#include <QGraphicsLayout>
#include <QGraphicsScene>
#include <QPainter>
#include <QPdfWriter>

namespace brisola {

namespace {

// Points: the page is laid out at 72 dots an inch.
constexpr int punts = 72;
constexpr double alcada_mapa = 250, alcada_escala = 26;

class pagines {
public:
    pagines(QPdfWriter& e, QPainter& p) : e_(e), p_(p) {}
    double amplada() const { return e_.width(); }
    // A page just begun takes anything.
    bool cap(double alcada) const { return y_ == 0 || y_ + alcada <= e_.height(); }
    // Room for `alcada` more, on a new page if this one has not; where it starts.
    double lloc(double alcada) {
        if (!cap(alcada)) nova();
        const double on = y_;
        y_ += alcada;
        return on;
    }
    void nova() {
        e_.newPage();
        y_ = 0;
    }
    void text(const QString& text, double mida, bool negreta = false) {
        p_.setFont(lletra(mida, negreta));
        const QRectF on(0, lloc(p_.fontMetrics().height() * 1.5), amplada(), p_.fontMetrics().height() * 1.5);
        p_.drawText(on, Qt::AlignLeft | Qt::AlignVCenter, text);
    }
    static QFont lletra(double mida, bool negreta) {
        QFont f("DejaVu Sans");
        f.setPointSizeF(mida);
        f.setBold(negreta);
        return f;
    }

private:
    QPdfWriter& e_;
    QPainter& p_;
    double y_ = 0;
};

void pinta_fila(QPainter& p, double y, double alcada, double amplada, const QStringList& celes, bool capcalera) {
    p.setFont(pagines::lletra(8, capcalera));
    const double columna = amplada / celes.size();
    for (int i = 0; i < celes.size(); ++i) {
        const QRectF on(i * columna + 2, y, columna - 4, alcada);
        p.drawText(on, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextWordWrap, celes[i]);
    }
    if (capcalera) p.drawLine(QPointF(0, y + alcada), QPointF(amplada, y + alcada));
}

void pinta_taula(QPainter& p, pagines& full, const dades_informe& d) {
    p.setFont(pagines::lletra(8, true));
    const double alcada_capcalera = p.fontMetrics().height() * 3.2, alcada = p.fontMetrics().height() * 1.6;
    auto capcaleres = [&] { pinta_fila(p, full.lloc(alcada_capcalera), alcada_capcalera, full.amplada(), d.capcaleres, true); };
    capcaleres();
    for (size_t i = 0; i < d.files.size(); ++i) {
        if (!full.cap(alcada)) { // a new page repeats the headings
            full.nova();
            capcaleres();
        }
        const double y = full.lloc(alcada);
        if (i % 2) p.fillRect(QRectF(0, y, full.amplada(), alcada), QColor(238, 238, 238));
        pinta_fila(p, y, alcada, full.amplada(), d.files[i], false);
    }
}

void pinta_seccio_mapa(QPainter& p, pagines& full, const dades_informe& d) {
    if (!full.cap(alcada_mapa + alcada_escala + 60)) full.nova();
    full.lloc(12);
    full.text(d.titol_mapa, 11, true);
    const double y = full.lloc(alcada_mapa + alcada_escala + 8);
    const QRectF superficie = pinta_mapa(p, QRectF(0, y, full.amplada() / 2, alcada_mapa), d.mapa);
    p.setFont(pagines::lletra(8, false));
    pinta_escala(p, QRectF(superficie.left(), superficie.bottom() + 8, superficie.width(), alcada_escala), d.mapa);
    p.setFont(pagines::lletra(9, false));
    p.drawText(QRectF(full.amplada() / 2 + 20, y, full.amplada() / 2 - 20, alcada_mapa),
               Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap, d.xifres_mapa);
}

// Two charts a row, two rows a page.
void pinta_tendencies(QPainter& p, pagines& full, const dades_informe& d) {
    full.nova();
    full.text(d.titol_tendencies, 14, true);
    const double amplada = full.amplada() / 2, alcada = 230;
    for (size_t i = 0; i < d.series.size(); i += 2) {
        const double y = full.lloc(alcada);
        for (size_t j = i; j < std::min(i + 2, d.series.size()); ++j) {
            QGraphicsScene escena;
            QChart* grafic = grafic_tendencia(d.series[j]);
            escena.addItem(grafic);
            grafic->setGeometry(QRectF(0, 0, amplada - 10, alcada - 10));
            grafic->layout()->activate(); // laid out now: no event loop runs before it is drawn
            escena.render(&p, QRectF(double(j - i) * amplada, y, amplada - 10, alcada - 10), grafic->geometry());
        }
    }
}

} // namespace

bool pinta_informe(QPdfWriter& escriptor, const dades_informe& d) {
    escriptor.setPageSize(QPageSize(QPageSize::A4));
    escriptor.setPageOrientation(QPageLayout::Landscape);
    escriptor.setPageMargins(QMarginsF(15, 15, 15, 15), QPageLayout::Millimeter);
    escriptor.setResolution(punts);
    escriptor.setTitle(d.titol);
    QPainter p;
    if (!p.begin(&escriptor)) return false;
    pagines full(escriptor, p);
    full.text(d.titol, 18, true);
    full.text(d.periode, 11);
    full.lloc(8);
    pinta_taula(p, full, d);
    pinta_seccio_mapa(p, full, d);
    pinta_tendencies(p, full, d);
    return p.end();
}

} // namespace brisola
