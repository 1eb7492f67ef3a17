#include "presentation/traduccio_qt.h"

#include <QCoreApplication>
#include <QLibraryInfo>

#include <optional>
#include <utility>

namespace brisola {

namespace {

// Galician has no catalogue of its own for Qt's widgets in Debian: Spanish fills its gaps, never English.
// An unknown language: none.
std::optional<std::array<QString, 2>> catalegs_de(const QString& idioma) {
    if (idioma == "catala") return std::array<QString, 2>{"ca", {}};
    if (idioma == QString::fromUtf8("español")) return std::array<QString, 2>{"es", {}};
    if (idioma == "galego") return std::array<QString, 2>{"gl", "es"};
    return std::nullopt;
}

} // namespace

traduccio_qt::~traduccio_qt() { treu(); }

void traduccio_qt::treu() {
    for (size_t i = 0; i < catalegs_.size(); ++i)
        if (std::exchange(installat_[i], false)) QCoreApplication::removeTranslator(&catalegs_[i]);
}

// As the window's captions: an unknown language changes nothing.
void traduccio_qt::tria(const QString& idioma) {
    const auto llengues = catalegs_de(idioma);
    if (!llengues) return;
    treu();
    const QString carpeta = QLibraryInfo::path(QLibraryInfo::TranslationsPath);
    // Installed last, looked up first: the language's own catalogue goes in last.
    for (size_t i = llengues->size(); i-- > 0;) {
        const QString& llengua = (*llengues)[i];
        if (!llengua.isEmpty() && catalegs_[i].load("qt_" + llengua, carpeta))
            installat_[i] = QCoreApplication::installTranslator(&catalegs_[i]);
    }
}

} // namespace brisola
