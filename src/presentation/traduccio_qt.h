#pragma once
// Qt's own words (the file dialogs' and the dialogs' buttons, "Cancel",
// "Press shortcut") in the interface language, from the catalogues Debian
// ships with Qt. With no catalogue for it, they stay as Qt has them.
#include <QObject>
#include <QString>
#include <QTranslator>

#include <array>

namespace brisola {

class traduccio_qt : public QObject {
    Q_OBJECT
public:
    explicit traduccio_qt(QObject* pare) : QObject(pare) {}
    ~traduccio_qt() override;
    // `idioma` as the settings file names it ("catala", "español", "galego").
    void tria(const QString& idioma);

private:
    void treu();

    // The language's own catalogue first, then its neighbour's for the words it lacks.
    std::array<QTranslator, 2> catalegs_;
    std::array<bool, 2> installat_{};
};

} // namespace brisola
