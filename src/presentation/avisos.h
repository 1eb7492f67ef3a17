#pragma once
// The notices of our own (no sound output, no soundfont, an unreadable
// settings file...), in the interface language.
#include <QString>
#include <QStringList>

namespace brisola {

enum class avis {
    so_mut,            // no sound output: the silent stand-in keeps time; %1 the system's reason
    so_tornat,         // the system's output took the stand-in's place
    sense_soundfont,   // no General MIDI soundfont could be loaded; %1 the file tried
    soundfont_absent,  // BRISOLA_SOUNDFONT names a missing file; %1 that file, %2 the one used instead
    ini_illegible,     // %1 the settings file
    massa_files,       // %1 the section, %2 its count, %3 the rows read
    canco_illegible,   // %1 the song file
    sense_calibrador,  // %1 the calibration program looked for (empty: the registry names none)
};

// The notice in `idioma` ("catala", "español", "galego"; Catalan for any
// other), its %1, %2... filled from `dades`.
QString text_avis(avis a, const QString& idioma, const QStringList& dades = {});

// `model` with its %1, %2... filled from `dades`.
QString omple(const QString& model, const QStringList& dades);

} // namespace brisola
