#pragma once
// A shape control: a circle outline drawn inside its rectangle.
#include <QWidget>

namespace brisola {

class forma : public QWidget {
public:
    explicit forma(QWidget* pare) : QWidget(pare) { setAttribute(Qt::WA_TransparentForMouseEvents); }

protected:
    void paintEvent(QPaintEvent*) override;
};

} // namespace brisola
