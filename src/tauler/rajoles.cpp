#include "tauler/rajoles.h"

#include <QAction>

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
    return g;
}

// Splits until every group holds at most maxim_per_grup, naming each part by its first and last choice.
std::vector<rajola> parteix(std::vector<rajola> choices, const QString& tornar) {
    while (choices.size() > maxim_per_grup) {
        std::vector<rajola> parts;
        for (size_t i = 0; i < choices.size(); i += maxim_per_grup) {
            const size_t fi = std::min(choices.size(), i + maxim_per_grup);
            std::vector<rajola> part(std::make_move_iterator(choices.begin() + long(i)),
                                     std::make_move_iterator(choices.begin() + long(fi)));
            QString nom = part.front().text + (part.size() > 1 ? " – " + part.back().text : QString());
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
    r.tria = [accio, abans = std::move(abans)] {
        if (abans) abans();
        accio->trigger();
    };
    return r;
}

} // namespace brisola
