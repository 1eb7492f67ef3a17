#pragma once
// The open-file dialog. The program shows Qt's; tests answer with a path of their choosing.
#include <QString>
#include <QStringList>

#include <cstdint>

class QWidget;

namespace brisola {

enum : uint32_t {
    OFN_HIDEREADONLY = 0x0004,
    OFN_PATHMUSTEXIST = 0x0800,
    OFN_FILEMUSTEXIST = 0x1000,
};

class dialeg_fitxers {
public:
    virtual ~dialeg_fitxers() = default;
    // `filtre` holds description and pattern pairs in order, patterns joined by ";".
    // The chosen path, or empty when the user cancelled.
    virtual QString GetOpenFileNameA(QWidget* propietari, const QString& carpeta, const QStringList& filtre,
                                     uint32_t flags) = 0;
};

} // namespace brisola
