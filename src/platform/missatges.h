#pragma once
// Message boxes. The program shows Qt boxes; tests record what would be shown.
#include <QString>

namespace brisola {

class missatges {
public:
    virtual ~missatges() = default;
    // A modal box with an OK button, no icon, and the application's title; returns when closed.
    virtual void MsgBox(const QString& text, const QString& titol = "Brisola") = 0;
    // A notice that must not stop play: shown without waiting for the user.
    virtual void avisa(const QString& text) = 0;
    // A notice that names a person or their files: shown, and kept out of standard error
    // (which a desktop's launcher puts in the system's log).
    virtual void avisa_personal(const QString& text) { avisa(text); }
    // A notice's line where the journal keeps it, for a notice shown some other way.
    virtual void registra(const QString&) {}
};

} // namespace brisola
