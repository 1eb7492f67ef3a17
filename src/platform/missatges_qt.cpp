#include "missatges_qt.h"

#include <QMessageBox>

#include <cstdio>

namespace brisola {

namespace {

// Lines of a message are separated by carriage returns, which a Qt label does not break on.
QString amb_salts(QString text) { return text.replace("\r\n", "\n").replace('\r', '\n'); }

} // namespace

// A plain box: an OK button and no icon of its own.
void missatges_qt::MsgBox(const QString& text, const QString& titol) {
    QMessageBox caixa(QMessageBox::NoIcon, titol, amb_salts(text), QMessageBox::Ok, pare_);
    caixa.exec();
}

// Notices also go to standard error, so that the journal keeps them once the box is closed.
void missatges_qt::avisa(const QString& text) {
    registra(text);
    avisa_personal(text);
}

void missatges_qt::registra(const QString& text) {
    std::fprintf(stderr, "%s\n", amb_salts(text).toLocal8Bit().constData());
}

void missatges_qt::avisa_personal(const QString& text) {
    auto* caixa = new QMessageBox(QMessageBox::Information, "Brisola", amb_salts(text), QMessageBox::Ok, pare_);
    caixa->setAttribute(Qt::WA_DeleteOnClose);
    caixa->setModal(false);
    caixa->show();
}

} // namespace brisola
