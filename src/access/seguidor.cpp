// The Tintseer link: the tracker timer, the launch of the tracker's calibration
// program and the watch over its window.
#include "access/registre.h"
#include "app/finestra_main.h"
#include "platform/caixa_imatge.h"
#include "platform/control_mobil.h"
#include "platform/numeros.h"
#include "platform/programes.h"
#include "platform/registre_fitxer.h"
#include "platform/tintseer_biblioteca.h"

#include <QEventLoop>
#include <QFileInfo>
#include <QMenu>
#include <QTimer>

#include <cmath>
#include <tuple>

namespace brisola {

namespace {

const char* const clau_tintseer = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\"
                                  "{3E8A51C2-94D7-4B60-AF1D-C27B05E6984D}_is1";
constexpr double espera_maxima = 300; // seconds for the program to show its window

} // namespace

void finestra_main::t_tintseer_Timer() {
    int16_t v = -1, h = -1;
    serveis_.tintseer.TintseerObtenirPosicio(v, h);
    // Nothing written: the object is out of sight, and the pointer stays where it was last seen (0, 0 before).
    if (v < 0 || h < 0) std::tie(v, h) = seguidor_lloc;
    seguidor_lloc = {v, h};
    continua_si_falla([&] {
        // Less than 2 units from the cursor is the hand's tremor: the pointer stays.
        double cx = divideix(cursor_actiu->Left() * 640.0, pantalla->ScaleWidth());
        if (std::fabs(h - cx) < 2) h = nearest(cx);
        double cy = divideix(cursor_actiu->Top() * 480.0, pantalla->ScaleHeight());
        if (std::fabs(v - cy) < 2) v = nearest(cy);
        int32_t interval = t_tintseer->Interval();
        t_tintseer->set_Interval(MUS(v, h, interval));
    });
}

void finestra_main::T_controll_tintseer_Timer() {
    if (estat.seguidor_finestra == 0 || serveis_.llancador.IsWindow(estat.seguidor_finestra)) return;
    T_controll_tintseer->set_Enabled(false);
    mn_op[0]->setEnabled(true);
    mn_acc[0]->setEnabled(true);
}

uintptr_t finestra_main::seguidor_calibra() {
    registre_fitxer registre(serveis_.dades + "/tintseer.reg");
    QString p = llegeix_valor(registre, "HKEY_LOCAL_MACHINE", clau_tintseer, "Inno Setup: App Path");
    p.chop(1); // the text value's terminating zero
    if (p.isEmpty()) {
        avisa(avis::sense_calibrador, {QString()});
        return 0;
    }
    p += "/bin/tintseer";
    int16_t mostra = 1;
    return executa_programa(p, mostra);
}

// The instrument goes on serving its events while it waits for the window.
uintptr_t finestra_main::executa_programa(QString& cami, int16_t&) {
    if (QFileInfo(cami).isRelative()) cami = serveis_.directori + "/" + cami;
    auto& llancador = serveis_.llancador;
    if (!llancador.ShellExecuteA(cami)) {
        avisa(avis::sense_calibrador, {cami});
        return 0;
    }
    const double inici = serveis_.temps.segons();
    for (;;) {
        // Asleep between events: the instrument's timers and menus are served, and no core is burnt.
        QEventLoop espera;
        QTimer::singleShot(50, &espera, &QEventLoop::quit);
        espera.exec();
        if (uintptr_t finestra = llancador.finestra_mostrada()) return finestra;
        if (!llancador.en_marxa() || serveis_.temps.segons() - inici > espera_maxima) return 0;
    }
}

} // namespace brisola
