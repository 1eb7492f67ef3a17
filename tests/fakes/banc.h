#pragma once
// A fresh instrument on recording fakes, with its own program folder.
#include "app/finestra_main.h"
#include "platform/caixa_imatge.h"
#include "platform/forma.h"
#include "platform/llista.h"
#include "rellotge_fals.h"
#include "sistemes_falsos.h"

#include <QFile>
#include <QTemporaryDir>

#include <memory>

namespace brisola {

struct banc {
    QTemporaryDir dir;
    midi_fals midi;
    missatges_fals caixes;
    dialeg_fals dialeg;
    rellotge_fals rellotge;
    joystick_fals joystick;
    captura_falsa captura;
    tintseer_fals tintseer;
    media_fals media;
    programes_fals llancador;
    int acabaments = 0;
    serveis s = amb(midi, joystick);

    // The same services on another MIDI device table or joystick layer.
    serveis amb(midi_sistema& m, joystick_sistema& j) {
        return {m, caixes, dialeg, rellotge, j, captura, tintseer, media, llancador, dir.path(), dir.path(),
                [this] { ++acabaments; }};
    }

    QString cami(const QString& nom) const { return dir.path() + "/" + nom; }
    void escriu(const QString& nom, const QByteArray& bytes) const {
        QFile f(cami(nom));
        f.open(QIODevice::WriteOnly);
        f.write(bytes);
    }
    std::unique_ptr<finestra_main> obre() { return std::make_unique<finestra_main>(s); }
};

// The check marks of a menu array, item by item.
inline QList<bool> marques(const menu_array& menu) {
    QList<bool> m;
    for (int16_t i = 0; i < menu.size(); ++i) m << menu.Checked(i);
    return m;
}

} // namespace brisola
