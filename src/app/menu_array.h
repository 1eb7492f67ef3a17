#pragma once
// A menu array: items that share one handler, which receives the item's index.
// Items can be added at run time. Check marks belong to the program: a click
// never toggles them, only the handlers do.
#include <QAction>
#include <QKeySequence>

#include <cstdint>
#include <functional>
#include <vector>

class QMenu;
class QMenuBar;

namespace brisola {

class menu_array {
public:
    void on_Click(std::function<void(int16_t)> handler) { handler_ = std::move(handler); }

    // A plain item; the handler runs when it is chosen.
    QAction* afegeix(QMenu* pare, const QString& caption, const QKeySequence& drecera = {});
    // An item that opens a submenu; the handler runs when the submenu opens.
    QMenu* afegeix_submenu(QMenu* pare, const QString& caption);
    QMenu* afegeix_submenu(QMenuBar* pare, const QString& caption);

    int size() const { return int(elements_.size()); }
    QAction* operator[](int index) const { return elements_.at(size_t(index)); }

    bool Checked(int16_t index) const { return (*this)[index]->isChecked(); }
    void set_Checked(int16_t index, bool marcat);

private:
    QMenu* registra_submenu(QMenu* submenu);
    void dispara(int16_t index) const;
    std::vector<QAction*> elements_;
    std::function<void(int16_t)> handler_;
};

} // namespace brisola
