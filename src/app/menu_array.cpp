#include "menu_array.h"

#include <QMenu>
#include <QMenuBar>

namespace brisola {

QAction* menu_array::afegeix(QMenu* pare, const QString& caption, const QKeySequence& drecera) {
    auto* element = pare->addAction(caption);
    element->setShortcut(drecera);
    auto index = int16_t(size());
    elements_.push_back(element);
    QObject::connect(element, &QAction::triggered, element, [this, element, index] {
        // Qt has just flipped the mark of a checkable item: put it back.
        if (element->isCheckable()) element->setChecked(!element->isChecked());
        dispara(index);
    });
    return element;
}

QMenu* menu_array::afegeix_submenu(QMenu* pare, const QString& caption) {
    return registra_submenu(pare->addMenu(caption));
}

QMenu* menu_array::afegeix_submenu(QMenuBar* pare, const QString& caption) {
    return registra_submenu(pare->addMenu(caption));
}

QMenu* menu_array::registra_submenu(QMenu* submenu) {
    auto index = int16_t(size());
    elements_.push_back(submenu->menuAction());
    QObject::connect(submenu, &QMenu::aboutToShow, submenu, [this, index] { dispara(index); });
    return submenu;
}

void menu_array::set_Checked(int16_t index, bool marcat) {
    // Only marked items are checkable, so unmarked ones show no empty box.
    QAction* element = (*this)[index];
    element->setCheckable(marcat);
    element->setChecked(marcat);
}

void menu_array::dispara(int16_t index) const {
    if (handler_) handler_(index);
}

} // namespace brisola
