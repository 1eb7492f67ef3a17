#pragma once
// The trends across sessions: one figure over the sessions' start times (date
// and time, so sessions of one day stay apart), drawn in black so that it
// reads printed; counts get whole-number ticks.
#include <QDateTime>
#include <QString>

#include <utility>
#include <vector>

class QChart;

namespace brisola {

struct serie_tendencia {
    QString titol;
    bool enters = false; // a count: whole-number ticks
    std::vector<std::pair<QDateTime, double>> punts; // by start time
};

QChart* grafic_tendencia(const serie_tendencia& serie);

} // namespace brisola
