#pragma once
// "Sessions…": a person's sessions (start, length, modalities, access methods,
// instruments), in the order they were played, the one under way marked; for
// the one chosen, the heat map of where the pointer went and its figures;
// across the finished sessions, the trends of length, reach, notes per minute
// and presses. "Exporta" writes the report as PDF and its figures as CSV (a
// row a session); a session, or all of them, can be deleted once confirmed.
// Its texts, and the choices' names, follow the interface's language.
#include "sessions/grafics_sessions.h"
#include "sessions/xifres.h"

#include <QDateTime>
#include <QDialog>

#include <functional>

class QLabel;
class QPushButton;
class QTableWidget;
class QGridLayout;

namespace brisola {

class mapa_calor;
struct dades_informe;

class finestra_sessions : public QDialog {
public:
    struct dialegs {
        // Where to save (a title, a proposed path, the filters, the one chosen first and
        // then by the person); empty: cancelled.
        std::function<QString(const QString& titol, const QString& proposat, const QString& filtres, QString& triat)>
            desti;
        // Yes or no to a question.
        std::function<bool(const QString& pregunta)> confirma;
        // The name a menu gives now to a choice (its key and index); empty when unknown.
        std::function<QString(const QString& clau, int index)> nom;
    };
    finestra_sessions(const QString& idioma, dialegs d);
    ~finestra_sessions() override;

    // `en_curs`: the session the journal still writes.
    void omple(const QString& persona, const QStringList& fitxers, const QString& en_curs = {});
    void set_idioma(const QString& idioma);
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
        bool en_curs = false;
        int64_t perduts = 0; // events the journal lost
    };
    QString t(int text, const QStringList& dades = {}) const;
    QString noms(const temps_tries& temps, const QString& clau) const;
    QString data(const fila_informe& f) const;
    QString figures(const xifres& x) const;
    void mostra();
    void omple_taula();
    void omple_grafics();
    QString csv() const;
    std::vector<serie_tendencia> series() const;
    dades_informe dades() const;
    void exporta_demanat();
    void esborra_fitxers(const QStringList& fitxers);

    QString idioma_, persona_, en_curs_;
    dialegs dialegs_;
    QStringList fitxers_; // every journal given, also those that do not read
    std::vector<fila_informe> files_;
    QLabel* titol_ = nullptr;
    QTableWidget* taula_ = nullptr;
    mapa_calor* mapa_ = nullptr;
    QLabel* figures_ = nullptr;
    QLabel* estat_ = nullptr;
    QGridLayout* grafics_ = nullptr;
    std::vector<std::pair<QPushButton*, int>> botons_;
};

} // namespace brisola
