#pragma once
#include "missatges.h"

#include <QPointer>

class QWidget;

namespace brisola {

class missatges_qt : public missatges {
public:
    void set_pare(QWidget* pare) { pare_ = pare; }
    void MsgBox(const QString& text, const QString& titol) override;
    void avisa(const QString& text) override;
    void avisa_personal(const QString& text) override;
    void registra(const QString& text) override;

private:
    QPointer<QWidget> pare_;
};

} // namespace brisola
