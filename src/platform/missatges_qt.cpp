#include "missatges_qt.h"

#include <QMessageBox>

namespace brisola {

void missatges_qt::MsgBox(const QString& text, const QString& titol) {
    QMessageBox::information(pare_, titol, text, QMessageBox::Ok);
}

void missatges_qt::avisa(const QString& text) {
    auto* caixa = new QMessageBox(QMessageBox::Information, "Brisola", text, QMessageBox::Ok, pare_);
    caixa->setAttribute(Qt::WA_DeleteOnClose);
    caixa->setModal(false);
    caixa->show();
}

} // namespace brisola
