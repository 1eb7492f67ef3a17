#include "avisos.h"

#include <iterator>

namespace brisola {

namespace {

struct textos {
    const char* catala;
    const char* espanyol;
    const char* galego;
};

// In the order of `avis`.
const textos taula[] = {
    {"No s'ha trobat cap sortida de so (%1). Brisola funciona igualment, però no se sentirà res fins que "
     "connecteu uns altaveus; llavors el so tornarà tot sol.",
     "No se ha encontrado ninguna salida de sonido (%1). Brisola funciona igualmente, pero no se oirá nada hasta "
     "que conectéis unos altavoces; entonces el sonido volverá solo.",
     "Non se atopou ningunha saída de son (%1). Brisola funciona igualmente, pero non se oirá nada ata que "
     "conectedes uns altofalantes; entón o son volverá só."},
    {"El so ha tornat: Brisola torna a sonar pels altaveus.",
     "El sonido ha vuelto: Brisola vuelve a sonar por los altavoces.",
     "O son volveu: Brisola volve soar polos altofalantes."},
    {"No s'ha pogut carregar el banc de sons General MIDI (%1), i el sintetitzador "
     "integrat no sonarà.\nInstal·leu el paquet fluid-soundfont-gm, o trieu un altre dispositiu a Opcions > Test Midi.",
     "No se ha podido cargar el banco de sonidos General MIDI (%1), y el "
     "sintetizador integrado no sonará.\nInstalad el paquete fluid-soundfont-gm, o elegid otro dispositivo en "
     "Opciones > Test Midi.",
     "Non se puido cargar o banco de sons General MIDI (%1), e o sintetizador "
     "integrado non soará.\nInstalade o paquete fluid-soundfont-gm, ou escollede outro dispositivo en "
     "Opcións > Test Midi."},
    {"No s'ha trobat el banc de sons %1 que indica BRISOLA_SOUNDFONT. Brisola fa servir el del sistema (%2).",
     "No se ha encontrado el banco de sonidos %1 que indica BRISOLA_SOUNDFONT. Brisola usa el del sistema (%2).",
     "Non se atopou o banco de sons %1 que indica BRISOLA_SOUNDFONT. Brisola usa o do sistema (%2)."},
    {"No es pot llegir el fitxer de configuració %1.\nBrisola s'obre en català i sense el catàleg de cançons, "
     "ritmes i instruments. Comproveu que el fitxer es pugui llegir (els permisos) i torneu a obrir el programa.",
     "No se puede leer el archivo de configuración %1.\nBrisola se abre en catalán y sin el catálogo de canciones, "
     "ritmos e instrumentos. Comprobad que el archivo se pueda leer (los permisos) y volved a abrir el programa.",
     "Non se pode ler o ficheiro de configuración %1.\nBrisola ábrese en catalán e sen o catálogo de cancións, "
     "ritmos e instrumentos. Comprobade que o ficheiro se poida ler (os permisos) e volvede abrir o programa."},
    {"La secció [%1] de brisola.ini diu que té %2 elements; Brisola en llegeix els %3 primers.",
     "La sección [%1] de brisola.ini dice que tiene %2 elementos; Brisola lee los %3 primeros.",
     "A sección [%1] de brisola.ini di que ten %2 elementos; Brisola le os %3 primeiros."},
    {"No es pot reproduir la cançó %1: el fitxer no existeix o no és una cançó que Brisola sàpiga llegir.",
     "No se puede reproducir la canción %1: el archivo no existe o no es una canción que Brisola sepa leer.",
     "Non se pode reproducir a canción %1: o ficheiro non existe ou non é unha canción que Brisola saiba ler."},
    {"No s'ha trobat el programa de calibratge del Tintseer (%1). Reinstal·leu el Tintseer.",
     "No se ha encontrado el programa de calibración del Tintseer (%1). Reinstalad el Tintseer.",
     "Non se atopou o programa de calibración do Tintseer (%1). Reinstalade o Tintseer."},
};

} // namespace

QString text_avis(avis a, const QString& idioma, const QStringList& dades) {
    static_assert(std::size(taula) == size_t(avis::sense_calibrador) + 1);
    const textos& t = taula[size_t(a)];
    return omple(QString::fromUtf8(idioma == "español" ? t.espanyol : idioma == "galego" ? t.galego : t.catala), dades);
}

// One pass, so a path or a name holding "%2" stays as it is.
QString omple(const QString& model, const QStringList& dades) {
    QString text;
    for (qsizetype i = 0; i < model.size(); ++i) {
        qsizetype n = i + 1 < model.size() && model[i] == '%' ? model[i + 1].digitValue() : -1;
        if (n >= 1 && n <= dades.size()) {
            text += dades[n - 1];
            ++i;
        } else {
            text += model[i];
        }
    }
    return text;
}

} // namespace brisola
