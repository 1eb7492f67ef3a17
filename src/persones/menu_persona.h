#pragma once
// The "Persona" menu, after the seed's menus: the people, "Cap persona",
// "Desa", "Persona nova…", "Ajustos…" (the aids) and "Tauler…" (the board of
// choices). Choosing a person chooses their setup again
// through the seed's own menu items, so the seed's handlers run and the check
// marks stay the state; the last person chosen starts with the next start.
#include "persones/ajustos_persona.h"
#include "persones/persona.h"

#include <QObject>
#include <QSize>
#include <QStringList>

#include <functional>
#include <memory>
#include <optional>

class QMenu;

namespace brisola {

class caixes_tauler;
class etapa_punter;
class finestra_ajustos;
class finestra_main;
class parla_sistema;
class tauler;
class volum_sistema;

// What the aids and the board act on beyond the window; any may be missing (a window on its own in a test).
struct serveis_persona {
    etapa_punter* punter = nullptr;
    volum_sistema* volum = nullptr;
    parla_sistema* parla = nullptr;
    caixes_tauler* caixes = nullptr;
};

class menu_persona : public QObject {
public:
    // Asks the helper for a name (a title, a question); empty: cancelled.
    using demana = std::function<QString(const QString& titol, const QString& pregunta)>;

    explicit menu_persona(finestra_main& w, demana demana_nom = {}, serveis_persona s = {});
    ~menu_persona() override;

    // At start: the person `demanada` names (the command line's), else the last one chosen;
    // with none, the seed's start. A person asked for who does not exist, or no name, is said once.
    void inicia(const std::optional<QString>& demanada);
    void tria(const QString& nom);
    void cap_persona();
    // The current setup into the current person (a new one is asked for when there is none).
    void desa();
    void persona_nova();
    finestra_ajustos& obre_ajustos();
    brisola::tauler& tauler() { return *tauler_; }

    const QString& actual() const { return actual_; }
    ajustos_persona& ajustos() { return ajustos_; }
    // Told whenever another person (or none, an empty name) is chosen, before their setup is applied.
    void on_persona(std::function<void(const QString& nom)> avis) { avis_persona_ = std::move(avis); }
    // Items another part adds at the menu's end, each time it is built.
    void amplia(std::function<void(QMenu&)> items);
    QStringList persones() const;
    // The setup as the menus and the shared state hold it now.
    persona captura() const;
    void aplica(const persona& p);
    QString carpeta() const;

private:
    QString fitxer(const QString& nom) const;
    void omple();
    void recorda(const QString& nom);
    void avisa(int text, const QStringList& dades = {});
    // Applies a setup; one chosen on the board keeps the way back to it.
    void canvia_a(persona p);
    void cursor_senzill();

    finestra_main& w_;
    demana demana_nom_;
    ajustos_persona ajustos_;
    std::unique_ptr<finestra_ajustos> finestra_ajustos_;
    std::unique_ptr<brisola::tauler> tauler_;
    QMenu* menu_ = nullptr;
    QString actual_;
    std::function<void(const QString&)> avis_persona_;
    std::function<void(QMenu&)> items_;
    int instrument_ = 0; // the seed keeps no mark of the instrument chosen: it is followed here
    QSize mida_cursor_inicial_;
};

} // namespace brisola
