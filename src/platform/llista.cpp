#include "llista.h"

namespace brisola {

// Focus makes a row current without selecting it: only a selection clicks.
llista::llista(QWidget* pare) : QListWidget(pare) {
    connect(this, &QListWidget::itemSelectionChanged, this, [this] {
        if (ListIndex() >= 0 && click_) click_();
    });
}

int llista::ListIndex() const {
    auto triats = selectedItems();
    return triats.isEmpty() ? -1 : row(triats.front());
}

int32_t llista::ItemData(int index) const {
    auto* element = item(index);
    return element ? element->data(Qt::UserRole).toInt() : 0;
}

void llista::set_ItemData(int index, int32_t dada) {
    if (auto* element = item(index)) element->setData(Qt::UserRole, dada);
}

} // namespace brisola
