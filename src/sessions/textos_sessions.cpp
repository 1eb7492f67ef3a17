#include "sessions/textos_sessions.h"

#include "persones/textos.h"

namespace brisola {

namespace {

const textos taula[] = {
    {"No es pot desar el diari de la sessió a %1: es toca sense diari.",
     "No se puede guardar el diario de la sesión en %1: se toca sin diario.",
     "Non se pode gardar o diario da sesión en %1: tócase sen diario."},
    {"El disc és ple: el diari de la sessió s'ha aturat (%1). Es pot continuar tocant.",
     "El disco está lleno: el diario de la sesión se ha detenido (%1). Se puede seguir tocando.",
     "O disco está cheo: o diario da sesión detívose (%1). Pódese seguir tocando."},
    {"Desa la interpretació…", "Guardar la interpretación…", "Gardar a interpretación…"},
    {"Sessions…", "Sesiones…", "Sesións…"},
    {"%1 encara no té cap sessió desada.", "%1 todavía no tiene ninguna sesión guardada.",
     "%1 aínda non ten ningunha sesión gardada."},
    {"Trieu primer una persona al menú Persona.", "Elija primero una persona en el menú Persona.",
     "Escolla primeiro unha persoa no menú Persoa."},
    {"La cançó %1 ja no hi és: s'exporta la resta sense ella.",
     "La canción %1 ya no está: se exporta el resto sin ella.",
     "A canción %1 xa non está: expórtase o resto sen ela."},
    {"No s'ha pogut escriure %1 (%2).", "No se ha podido escribir %1 (%2).", "Non se puido escribir %1 (%2)."},
    {"S'està exportant la sessió…", "Se está exportando la sesión…", "Estase a exportar a sesión…"},
    {"S'ha desat %1.", "Se ha guardado %1.", "Gardouse %1."},
    {"La sessió %1 tenia %2 línies malmeses o desconegudes: s'han passat per alt.",
     "La sesión %1 tenía %2 líneas dañadas o desconocidas: se han omitido.",
     "A sesión %1 tiña %2 liñas danadas ou descoñecidas: omitíronse."},
    {"Sessions de %1", "Sesiones de %1", "Sesións de %1"},
    {"Data", "Fecha", "Data"},
    {"Durada", "Duración", "Duración"},
    {"Modalitats", "Modalidades", "Modalidades"},
    {"Notes per minut", "Notas por minuto", "Notas por minuto"},
    {"Temps en cada modalitat", "Tiempo en cada modalidad", "Tempo en cada modalidade"},
    {"Pulsacions", "Pulsaciones", "Pulsacións"},
    {"%1 pulsacions, mantingudes %2 s de mitjana", "%1 pulsaciones, mantenidas %2 s de media",
     "%1 pulsacións, mantidas %2 s de media"},
    {"Abast (% de la superfície)", "Alcance (% de la superficie)", "Alcance (% da superficie)"},
    {"&Exporta…", "&Exportar…", "&Exportar…"},
    {"Esbo&rra la sessió", "&Borrar la sesión", "&Borrar a sesión"},
    {"Esborra-les &totes", "Borrarlas &todas", "Borralas &todas"},
    {"S'esborrarà la sessió del %1. No es podrà recuperar. Voleu continuar?",
     "Se borrará la sesión del %1. No se podrá recuperar. ¿Desea continuar?",
     "Borrarase a sesión do %1. Non se poderá recuperar. Desexa continuar?"},
    {"S'esborraran les %2 sessions de %1. No es podran recuperar. Voleu continuar?",
     "Se borrarán las %2 sesiones de %1. No se podrán recuperar. ¿Desea continuar?",
     "Borraranse as %2 sesións de %1. Non se poderán recuperar. Desexa continuar?"},
    {"Tan&ca", "&Cerrar", "Pe&char"},
    {"Sessió:", "Sesión:", "Sesión:"},
    {"Des del segon:", "Desde el segundo:", "Desde o segundo:"},
    {"Fins al segon:", "Hasta el segundo:", "Ata o segundo:"},
    {"MIDI (*.mid);;WAV (*.wav);;FLAC (*.flac)", "MIDI (*.mid);;WAV (*.wav);;FLAC (*.flac)",
     "MIDI (*.mid);;WAV (*.wav);;FLAC (*.flac)"},
    {"&Desa…", "&Guardar…", "&Gardar…"},
    {"S'han desat %1 i %2.", "Se han guardado %1 y %2.", "Gardáronse %1 e %2."},
    {"Cancel·la", "Cancelar", "Cancelar"},
    {"Ús: brisola --export FITXER_DE_SESSIÓ SORTIDA.mid|SORTIDA.wav|SORTIDA.flac",
     "Uso: brisola --export FICHERO_DE_SESIÓN SALIDA.mid|SALIDA.wav|SALIDA.flac",
     "Uso: brisola --export FICHEIRO_DE_SESIÓN SAÍDA.mid|SAÍDA.wav|SAÍDA.flac"},
    {"No s'ha pogut llegir %1 (%2).", "No se ha podido leer %1 (%2).", "Non se puido ler %1 (%2)."},
    {"%1 no és el diari d'una sessió.", "%1 no es el diario de una sesión.", "%1 non é o diario dunha sesión."},
    {"No s'ha pogut esborrar %1 (%2).", "No se ha podido borrar %1 (%2).", "Non se puido borrar %1 (%2)."},
    {"en curs", "en curso", "en curso"},
    {"Accés", "Acceso", "Acceso"},
    {"Instrument", "Instrumento", "Instrumento"},
    {"Del %1 al %2 · %3 sessions", "Del %1 al %2 · %3 sesiones", "Do %1 ao %2 · %3 sesións"},
    {"On va anar el punter a la sessió del %1 (temps en cada casella de la superfície)",
     "Dónde fue el puntero en la sesión del %1 (tiempo en cada casilla de la superficie)",
     "Onde foi o punteiro na sesión do %1 (tempo en cada cela da superficie)"},
    {"D'una sessió a l'altra", "De una sesión a otra", "Dunha sesión a outra"},
    {"Premuda mitjana (s)", "Pulsación media (s)", "Pulsación media (s)"},
};

} // namespace

QString text_sessions(const QString& idioma, int t, const QStringList& dades) { return tradueix(taula[t], idioma, dades); }

} // namespace brisola
