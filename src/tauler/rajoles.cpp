#include "tauler/rajoles.h"

#include <QAction>
#include <QPointer>

#include <algorithm>

namespace brisola {

namespace {

rajola tanca_grup(std::vector<rajola> fills, const QString& text, const QString& tornar) {
    rajola g;
    g.t = rajola::tipus::grup;
    g.text = text;
    g.fills = std::move(fills);
    rajola enrere;
    enrere.t = rajola::tipus::tornar;
    enrere.text = tornar;
    g.fills.push_back(std::move(enrere));
    g.marcada = std::any_of(g.fills.begin(), g.fills.end(), [](const rajola& r) { return r.marcada; });
    return g;
}

// A group's first and last choice, however deep (its "Tornar" is not one).
const rajola& primera(const rajola& r) { return r.t == rajola::tipus::grup ? primera(r.fills.front()) : r; }
const rajola& darrera(const rajola& r) { return r.t == rajola::tipus::grup ? darrera(r.fills.end()[-2]) : r; }

// Splits until every group holds at most maxim_per_grup, naming each part by its first and last choice;
// a part of one stays as it is.
std::vector<rajola> parteix(std::vector<rajola> choices, const QString& tornar) {
    while (choices.size() > maxim_per_grup) {
        std::vector<rajola> parts;
        for (size_t i = 0; i < choices.size(); i += maxim_per_grup) {
            const size_t fi = std::min(choices.size(), i + maxim_per_grup);
            std::vector<rajola> part(std::make_move_iterator(choices.begin() + long(i)),
                                     std::make_move_iterator(choices.begin() + long(fi)));
            if (part.size() == 1) {
                parts.push_back(std::move(part.front()));
                continue;
            }
            const QString nom = primera(part.front()).text + " – " + darrera(part.back()).text;
            parts.push_back(tanca_grup(std::move(part), nom, tornar));
        }
        choices = std::move(parts);
    }
    return choices;
}

} // namespace

void afegeix_grup(std::vector<rajola>& desti, const QString& text, std::vector<rajola> choices,
                  const QString& tornar) {
    if (!choices.empty()) desti.push_back(tanca_grup(parteix(std::move(choices), tornar), text, tornar));
}

rajola de_l_accio(QAction* accio, std::function<void()> abans) {
    rajola r;
    r.text = accio->text();
    r.text.replace("&&", "\x01").remove('&').replace("\x01", "&");
    r.marcada = accio->isCheckable() && accio->isChecked();
    // A menu built again while the board is open takes its items with it: theirs choose nothing.
    r.tria = [accio = QPointer<QAction>(accio), abans = std::move(abans)] {
        if (!accio) return;
        if (abans) abans();
        accio->trigger();
    };
    return r;
}

} // namespace brisola
