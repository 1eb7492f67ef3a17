#include "llista.h"

namespace brisola {

llista::llista(QWidget* pare) : QListWidget(pare) {
    connect(this, &QListWidget::currentRowChanged, this, [this](int fila) {
        if (fila >= 0 && click_) click_();
    });
}

int32_t llista::ItemData(int index) const {
    auto* element = item(index);
    return element ? element->data(Qt::UserRole).toInt() : 0;
}

void llista::set_ItemData(int index, int32_t dada) {
    if (auto* element = item(index)) element->setData(Qt::UserRole, dada);
}

} // namespace brisola
