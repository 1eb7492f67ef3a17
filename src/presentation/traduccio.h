#pragma once
// TRADUCCIO: the window's captions in Catalan, Spanish and Galician.
#include <QString>

#include <cstdint>
#include <functional>
#include <optional>
#include <vector>

namespace brisola {

// A control as translation sees it: its name, its index in a control array,
// and its caption or text when it has one.
struct control_traduible {
    QString nom;
    std::optional<int16_t> index;
    std::function<QString()> caption;
    std::function<void(const QString&)> set_caption;
    std::function<QString()> text; // controls with a text property
};

// "main|" + name + " |" + index part + "|" + kind letter; empty when the
// control has neither caption nor text.
QString clau_de(const QString& finestra, const control_traduible& control);

QString text_catala(const QString& clau);
QString text_espanyol(const QString& clau);
QString text_galego(const QString& clau);

// Sets each control's caption from the table of `idioma`; an unknown
// language or a key a table lacks leaves the control as it is.
void traduir_formulari(const QString& finestra, const QString& idioma, const std::vector<control_traduible>& controls);

} // namespace brisola
