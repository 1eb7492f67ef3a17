#pragma once
// A voice that says a text in the interface language.
#include <QString>

namespace brisola {

class parla_sistema {
public:
    virtual ~parla_sistema() = default;
    // False when the system has no speech: the caller goes on silently.
    virtual bool disponible() = 0;
    virtual void diu(const QString& text, const QString& idioma) = 0;
};

} // namespace brisola
