// Start-up and shut-down of the window.
#include "app/finestra_main.h"
#include "persones/metode_acces.h"
#include "platform/forma.h"
#include "platform/fitxer_ini.h"
#include "platform/llista.h"
#include "platform/tintseer_biblioteca.h"

#include <QGroupBox>
#include <QTimer>

namespace brisola {

void finestra_main::Form_Load() {
    QString bufer;
    estat.idioma = "catala";
    avisa_si_illegible();
    int n = GetPrivateProfileStringA("inici", "idioma", "", bufer, 256, fitxer_ini());
    if (n > 0) estat.idioma = bufer.left(n);
    marca_idioma();
    traduir_formulari();
    midi_out.FillDeviceList(*List1);
    instruments_carrega();
    ritmes_carrega();
    cancons_carrega();
    Frame1->setGeometry(0, 0, area_->width(), area_->height());
    if (List1->ListCount() > 1) List1->set_ListIndex(0);
    if (lst_sound_list->ListCount() > 1) lst_sound_list->set_ListIndex(0);
    prova_seguidor();
    prova_joystick();
    cursor_actiu = u_curs_shape;
    estat.velocitat = 127;
    estat.tempo = 400;
}

void finestra_main::marca_idioma() {
    const QString idiomes[] = {"catala", "español", "galego"};
    for (int16_t i = 0; i < 3; ++i)
        if (estat.idioma == idiomes[i]) mn_idioma.set_Checked(i, true);
}

void finestra_main::prova_seguidor() {
    if (sonda_webcam.webcam_detecta(reinterpret_cast<uintptr_t>(this)) == 0) return activa_seguidor(false);
    sonda_webcam.webcam_allibera();
    // Starting the tracker opens the camera, which takes a while: the window shows first.
    QTimer::singleShot(0, this, [this] { executa(&seguidor_estat, [this] { prova_biblioteca_seguidor(); }); });
}

// A start that fails leaves the items as the window made them.
void finestra_main::prova_biblioteca_seguidor() {
    auto& tintseer = serveis_.tintseer;
    // Without the tracker's library there is nothing to start: the items would only fail.
    if (!tintseer.carregada()) return activa_seguidor(false);
    const bool iniciat = tintseer.TintseerInicialitza(0) == 1;
    if (iniciat) activa_seguidor(true);
    // A person who plays with the tracker keeps it on, started by them or by this probe: it is
    // recorded as theirs, so leaving it stops it.
    if (!mn_acces.Checked(metode_acces::seguidor)) tintseer.TintseerFinalitza();
    else if (iniciat) seguidor_estat = 1;
}

void finestra_main::activa_seguidor(bool actiu) {
    mn_acces[1]->setEnabled(actiu);
    mn_opcions[1]->setEnabled(actiu);
}

void finestra_main::prova_joystick() {
    if (estat.joy_trobat == 0)
        for (int16_t numero = 0; numero <= 4; ++numero)
            if (joystick.joy_detecta(numero)) break;
    mn_acces[2]->setEnabled(estat.joy_trobat != 0);
}

void finestra_main::Form_Unload(int16_t& Cancel) {
    Cancel = 0;
    if (estat.canco_actual != 0) reproductor.StopMidiSong();
    midi_out.CloseMidiOut();
    if (seguidor_estat == 1) serveis_.tintseer.TintseerFinalitza();
}

} // namespace brisola
