#pragma once
// The board's tiles: groups of choices, each choice one of the menus' own
// items, so that choosing a tile runs the very handler the menu would. Built
// from the menus as they are when the board opens.
#include <QString>

#include <functional>
#include <vector>

class QAction;

namespace brisola {

struct rajola {
    enum class tipus { accio, grup, tornar, tanca };
    tipus t = tipus::accio;
    QString text;
    std::function<void()> tria; // an action's choice (its submenu's opening first, where it has one)
    bool marcada = false;       // the current choice
    std::vector<rajola> fills;  // a group's tiles, its "Tornar" last
};

// No group holds more than this many choices: longer ones are split into groups of this size.
constexpr size_t maxim_per_grup = 8;

// Adds to `desti` a group of these choices, split where it is long, each
// part closed with `tornar` (a tile that goes back); a group with no choice is left out.
void afegeix_grup(std::vector<rajola>& desti, const QString& text, std::vector<rajola> choices,
                  const QString& tornar);

// The tile of a menu item: its caption without the access key's mark, its check mark, its action.
rajola de_l_accio(QAction* accio, std::function<void()> abans = {});

} // namespace brisola
