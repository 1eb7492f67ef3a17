#pragma once
#include "dialeg_fitxers.h"

namespace brisola {

class dialeg_fitxers_qt : public dialeg_fitxers {
public:
    QString GetOpenFileNameA(QWidget* propietari, const QString& carpeta, const QStringList& filtre,
                             uint32_t flags) override;
};

} // namespace brisola
