#include "sessions/grafics_sessions.h"

#include <QChart>
#include <QDateTimeAxis>
#include <QLineSeries>
#include <QValueAxis>

#include <algorithm>
#include <cmath>

namespace brisola {

namespace {

constexpr int64_t mitja_hora_ms = 30 * 60 * 1000;

QDateTimeAxis* eix_temps(const serie_tendencia& serie) {
    auto* eix = new QDateTimeAxis;
    eix->setFormat("dd/MM HH:mm");
    if (serie.punts.empty()) return eix;
    const qint64 primer = serie.punts.front().first.toMSecsSinceEpoch(), darrer = serie.punts.back().first.toMSecsSinceEpoch();
    // A margin each side, so that the first and last points are not on the frame.
    const qint64 marge = std::max<qint64>((darrer - primer) / 20, mitja_hora_ms);
    eix->setRange(QDateTime::fromMSecsSinceEpoch(primer - marge), QDateTime::fromMSecsSinceEpoch(darrer + marge));
    // Few enough labels that each is whole side by side.
    eix->setTickCount(int(std::clamp<size_t>(serie.punts.size(), 3, 4)));
    return eix;
}

QValueAxis* eix_valors(const serie_tendencia& serie) {
    double maxim = 0;
    for (const auto& [quan, valor] : serie.punts) maxim = std::max(maxim, valor);
    auto* eix = new QValueAxis;
    if (!serie.enters) {
        eix->setRange(0, std::max(maxim * 1.1, 1.0));
        eix->applyNiceNumbers();
        return eix;
    }
    const double pas = std::max(1.0, std::ceil(maxim / 4));
    eix->setRange(0, pas * std::max(1.0, std::ceil(maxim / pas)));
    eix->setTickType(QValueAxis::TicksDynamic);
    eix->setTickAnchor(0);
    eix->setTickInterval(pas);
    eix->setLabelFormat("%d");
    return eix;
}

} // namespace

QChart* grafic_tendencia(const serie_tendencia& serie) {
    auto* linia = new QLineSeries;
    for (const auto& [quan, valor] : serie.punts) linia->append(double(quan.toMSecsSinceEpoch()), valor);
    linia->setPen(QPen(Qt::black, 2));
    linia->setPointsVisible(true);
    auto* grafic = new QChart;
    grafic->addSeries(linia);
    grafic->setTitle(serie.titol);
    grafic->legend()->hide();
    grafic->addAxis(eix_temps(serie), Qt::AlignBottom);
    grafic->addAxis(eix_valors(serie), Qt::AlignLeft);
    for (QAbstractAxis* eix : grafic->axes()) linia->attachAxis(eix);
    return grafic;
}

} // namespace brisola
