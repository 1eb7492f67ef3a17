#pragma once
// "Sessions…": a person's sessions (date, length, modalities used); for the one
// chosen, the heat map of where the pointer went and its figures; across
// sessions, charts over the dates of length, reach, notes per minute and
// presses. "Exporta" writes the figures as CSV (a row a session) and the
// report as PDF; a session, or all of them, can be deleted once confirmed.
#include "sessions/xifres.h"

#include <QDateTime>
#include <QDialog>

#include <functional>

class QLabel;
class QTableWidget;
class QGridLayout;

namespace brisola {

class mapa_calor;

class finestra_sessions : public QDialog {
public:
    struct dialegs {
        // Where to save (a title, a proposed path, the filters, the one chosen first and
        // then by the person); empty: cancelled.
        std::function<QString(const QString& titol, const QString& proposat, const QString& filtres, QString& triat)>
            desti;
        // Yes or no to a question.
        std::function<bool(const QString& pregunta)> confirma;
    };
    finestra_sessions(const QString& idioma, dialegs d);
    ~finestra_sessions() override;

    void omple(const QString& persona, const QStringList& fitxers);
    int files() const;
    void tria(int fila);
    // The report as PDF at `pdf`, and its figures as CSV beside it; empty when
    // both were written, else which could not be and why.
    QString exporta(const QString& pdf);
    void esborra();
    void esborra_totes();

private:
    struct fila_informe {
        QString fitxer;
        QDateTime inici;
        xifres x;
        int passades = 0;
    };
    QString t(int text, const QStringList& dades = {}) const;
    void omple_taula();
    void omple_grafics();
    QString csv() const;
    void exporta_demanat();
    void esborra_fitxers(const QStringList& fitxers);

    QString idioma_, persona_;
    QStringList fitxers_; // every journal given, also those that do not read
    dialegs dialegs_;
    std::vector<fila_informe> files_;
    QWidget* informe_ = nullptr; // what the PDF shows
    QLabel* titol_ = nullptr;
    QTableWidget* taula_ = nullptr;
    mapa_calor* mapa_ = nullptr;
    QLabel* figures_ = nullptr;
    QLabel* estat_ = nullptr;
    QGridLayout* grafics_ = nullptr;
};

} // namespace brisola
