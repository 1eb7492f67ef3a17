#pragma once
// The sessions meet the instrument here: the journal follows the person
// chosen, the pointer, the choices and the switch, and the "Persona" menu
// gains "Desa la interpretació…" and "Sessions…".
#include "sessions/diari.h"
#include "sessions/finestra_sessions.h"

#include <QObject>
#include <QStringList>

#include <functional>
#include <memory>

class QMenu;

namespace brisola {

class etapa_punter;
class finestra_exportacio;
class finestra_main;
class menu_persona;

class menu_sessions : public QObject {
public:
    // Where to save, and yes or no to a question: Qt's own when not given.
    using dialegs = finestra_sessions::dialegs;
    menu_sessions(finestra_main& w, menu_persona& persones, diari& d, etapa_punter* punter, dialegs dl = {});
    ~menu_sessions() override;

    // The current person's session files, oldest first.
    QStringList sessions() const;
    // Each opens only for a person with sessions, else says why; null then.
    finestra_exportacio* desa_interpretacio();
    finestra_sessions* obre_informe();

private:
    escriptor_diari::info tries() const;
    std::optional<std::array<int, 4>> lloc() const;
    bool hi_ha_sessions();
    // The caption a choice's menu gives it in the language of the moment.
    QString nom_actual(const QString& clau, int index) const;
    void avisa(int text, const QStringList& dades = {});

    finestra_main& w_;
    menu_persona& persones_;
    diari& diari_;
    etapa_punter* punter_;
    dialegs dialegs_;
    std::unique_ptr<finestra_exportacio> exportacio_;
    std::unique_ptr<finestra_sessions> informe_;
};

} // namespace brisola
