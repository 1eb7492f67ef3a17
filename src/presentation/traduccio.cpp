#include "traduccio.h"

#include <QHash>

namespace brisola {

namespace {

struct fila_traduccio {
    const char* control;
    int index; // -1: not in a control array
    const char* catala;
    const char* espanyol;
    const char* galego;
};

// Every Spanish and Galician caption starts with a blank, as the window has always shown them.
const fila_traduccio taula[] = {
    {"Frame1", -1, "Test", " Test", " Test"},
    {"mn_op", 0, "&Opcions", " &Opciones", " &Opcións"},
    {"mn_opcions", 0, "&Test Midi", " &Test Midi", " &Test Midi"},
    {"mn_opcions", 1, "Calibrar Tintseer", " Calibrar Tintseer", " Calibrar Tintseer"},
    {"mn_opcions", 2, "Sortir", " Salir", " Saír"},
    {"mn_id", -1, "Idioma", " Idioma", " Idioma"},
    {"mn_idioma", 0, "Catala", " Catala", " Catala"},
    {"mn_idioma", 1, "Español", " Español", " Español"},
    {"mn_idioma", 2, "Galego", " Galego", " Galego"},
    {"mn_acc", 0, "&Accés", " &Acceso", " &Acceso"},
    {"mn_acces", 0, "&Ratolí", " &Ratón", " &Rato"},
    {"mn_acces", 1, "&Tintseer", " &Tintseer", " &Tintseer"},
    {"mn_acces", 2, "&Joystick", " &Joystick", " &Joystick"},
    {"mn_acces", 3, "&Pulsador", " &Pulsador", " &Pulsador"},
    {"mn_inv", 0, "Invertir &X", " Invertir &X", " Investir &X"},
    {"mn_inv", 1, "Invertir &Y", " Invertir &Y", " Investir &E"},
    {"mn_pos", 0, "per &posició", " por &posición", " por &posición"},
    {"mn_pos", 1, "per &moviment", " por &movimento", " por &movimento"},
    {"mn_mod", -1, "&Modalitat", " &Modalidad", " &Modalidade"},
    {"fmus", 0, "Ritme i &notes", " Ritmo y &notas", " Ritmo e &notas"},
    {"fmus", 1, "&Escala i temps", " &Escala y tiempo", " &Escala e tempo"},
    {"fmus", 2, "&Bateria", " &Bateria", " &Bateria"},
    {"fmus", 3, "&Ritmes", " &Ritmos", " &Ritmos"},
    {"rmus", 0, "_", " _", " _"},
    {"CMUS", 0, "_", " _", " _"},
    {"fmus", 4, "&Cançó", " &Canción", " &Canción"},
    {"mn_au", -1, "A&uditiu", " A&uditivo", " A&uditivo"},
    {"mn_inst", 0, "&Ritme", " &Ritmo", " &Ritmo"},
    {"mn_ritme", 0, "&Lent", " &Lento", " &Lento"},
    {"mn_ritme", 1, "&Normal", " &Normal", " &Normal"},
    {"mn_ritme", 2, "&Ràpid", " &Rápido", " &Rápido"},
    {"mn_inst", 1, "&Instruments", " &Instrumento", " &Instrumento"},
    {"mn_instrument", 0, "Fer Silenci", " Silenciar", " Silenciar"},
    {"mn_inst", 2, "Fer Silenci", " Silenciar", " Silenciar"},
    {"mn_car", -1, "&Gràfic", " &Gráfico", " &Gráfico"},
    {"mn_img", 0, "Fons amb color", " Fondo de color", " Fondo de cor"},
    {"mn_img", 1, "Fons amb &imatge", " Fondo con &imagen", " Fondo con &imaxe"},
    {"mn_img", 2, "Imatge cursor", " Imagen del cursor", " Imaxe do cursor"},
    {"mn_carat", 0, "Cursor meitad", " Cursor mitad", " Cursor metade"},
    {"mn_carat", 1, "Cursor normal", " Cursor normal", " Cursor normal"},
    {"mn_carat", 2, "Cursor doble", " Cursor doble", " Cursor dobre"},
    {"mn_aj", -1, "Ajuda", " Ayuda", " Axuda"},
    {"rmus", 1, "Rock", " Rock", " Rock"},
    {"rmus", 2, "vals", " Vals", " Vals"},
    {"rmus", 3, "marxa", " Marcha", " Marcha"},
};

QString clau(const QString& control, int index, char tipus) {
    QString part_index = index < 0 ? QString() : " " + QString::number(index);
    return "main|" + control + " |" + part_index + "|" + tipus;
}

using diccionari = QHash<QString, QString>;

diccionari fes_diccionari(const char* fila_traduccio::*idioma) {
    diccionari d;
    for (const auto& fila : taula) d.insert(clau(fila.control, fila.index, 'c'), QString::fromUtf8(fila.*idioma));
    return d;
}

} // namespace

QString clau_de(const QString& finestra, const control_traduible& control) {
    char tipus = 0;
    if (control.caption && !control.caption().isEmpty()) tipus = 'c';
    else if (control.text && !control.text().isEmpty()) tipus = 't';
    if (!tipus) return {};
    QString part_index = control.index ? " " + QString::number(*control.index) : QString();
    return finestra + "|" + control.nom + " |" + part_index + "|" + tipus;
}

QString text_catala(const QString& c) {
    static const diccionari d = fes_diccionari(&fila_traduccio::catala);
    return d.value(c);
}

QString text_espanyol(const QString& c) {
    static const diccionari d = fes_diccionari(&fila_traduccio::espanyol);
    return d.value(c);
}

QString text_galego(const QString& c) {
    static const diccionari d = fes_diccionari(&fila_traduccio::galego);
    return d.value(c);
}

void traduir_formulari(const QString& finestra, const QString& idioma, const std::vector<control_traduible>& controls) {
    QString (*taula_de)(const QString&) = nullptr;
    if (idioma == "catala") taula_de = text_catala;
    else if (idioma == "español") taula_de = text_espanyol;
    else if (idioma == "galego") taula_de = text_galego;
    if (!taula_de) return;
    for (const auto& control : controls) {
        QString k = clau_de(finestra, control);
        QString text = k.isEmpty() ? QString() : taula_de(k);
        // Only captions are in the tables: a text-kind key never finds a row.
        if (!text.isEmpty() && k.endsWith("|c")) control.set_caption(text);
    }
}

} // namespace brisola
