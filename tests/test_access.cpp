// Input devices on the real layers: SDL joysticks, V4L2 capture, the tracker library.
#include "platform/captura_v4l2.h"
#include "platform/joystick_sdl.h"
#include "platform/programes_qt.h"
#include "platform/tintseer_dinamic.h"

#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

#include <SDL.h>

using namespace brisola;

class test_access : public QObject {
    Q_OBJECT

private slots:
    void a_virtual_joystick_reads_as_its_axes_plus_32768() {
        joystick_sdl joysticks;
        JOYINFO lectura;
        QCOMPARE(joysticks.joyGetPos(0, lectura), uint32_t(JOYERR_UNPLUGGED));
        int index = SDL_JoystickAttachVirtual(SDL_JOYSTICK_TYPE_GAMECONTROLLER, 2, 1, 0);
        QVERIFY2(index >= 0, SDL_GetError());
        SDL_Joystick* joy = SDL_JoystickOpen(index);
        QVERIFY(joy);
        SDL_JoystickSetVirtualAxis(joy, 0, -32768);
        SDL_JoystickSetVirtualAxis(joy, 1, 32767);
        SDL_JoystickSetVirtualButton(joy, 0, 1);
        QCOMPARE(joysticks.joyGetPos(0, lectura), uint32_t(JOYERR_NOERROR));
        QCOMPARE(lectura.wXpos, 0u);
        QCOMPARE(lectura.wYpos, 65535u);
        QCOMPARE(lectura.wButtons, 1u);
        QCOMPARE(joysticks.joyGetPos(1, lectura), uint32_t(JOYERR_UNPLUGGED));
        SDL_JoystickClose(joy);
        SDL_JoystickDetachVirtual(index);
        QCOMPARE(joysticks.joyGetPos(0, lectura), uint32_t(JOYERR_UNPLUGGED));
    }

    void a_started_program_is_watched_through_its_window() {
        QTemporaryDir dir;
        QString programa = dir.path() + "/calibra";
        QFile f(programa);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write("#!/bin/sh\nsleep 0.2\necho finestra\nsleep 0.5\n");
        f.close();
        f.setPermissions(f.permissions() | QFileDevice::ExeOwner);
        programes_qt llancador;
        QVERIFY(!llancador.ShellExecuteA(dir.path() + "/absent"));
        QVERIFY(llancador.ShellExecuteA(programa));
        QCOMPARE(llancador.finestra_mostrada(), uintptr_t(0));
        QTRY_VERIFY(llancador.finestra_mostrada() != 0);
        uintptr_t finestra = llancador.finestra_mostrada();
        QVERIFY(llancador.IsWindow(finestra) && llancador.en_marxa());
        QTRY_VERIFY(!llancador.IsWindow(finestra)); // it ended: its window is gone
        QVERIFY(!llancador.en_marxa());
    }

    void capture_drivers_are_the_video_devices() {
        captura_v4l2 captura;
        QString nom, versio;
        bool hi_ha = QFile::exists("/dev/video0");
        QCOMPARE(captura.capGetDriverDescriptionA(0, nom, versio), hi_ha && !nom.isNull());
        QVERIFY(!captura.capGetDriverDescriptionA(-1, nom, versio));
        HWND_CAPTURA finestra = captura.capCreateCaptureWindowA(0);
        QVERIFY(finestra != 0);
        QVERIFY(!captura.connecta(finestra, 9)); // beyond the probe's range: no such node
        QVERIFY(!captura.desconnecta(finestra));
        captura.DestroyWindow(finestra);
        QVERIFY(!captura.connecta(finestra, 0));
    }

    void the_tracker_library_keeps_its_contract() {
        tintseer_dinamic tintseer(BRISOLA_BIN_DIR);
        QVERIFY(tintseer.carregada());
        tintseer.TintseerFinalitza(); // not running: harmless
        int16_t v = 0, h = 0;
        tintseer.TintseerObtenirPosicio(v, h);
        QCOMPARE(v, 0);
        QCOMPARE(h, 0);
        int16_t inici = tintseer.TintseerInicialitza(0);
        QCOMPARE(inici == 1, QFile::exists("/dev/video0") && inici == 1);
        tintseer.TintseerFinalitza();
        tintseer.TintseerFinalitza();
    }

    void a_missing_tracker_library_does_nothing() {
        tintseer_dinamic tintseer("/no/such/folder");
        QVERIFY(!tintseer.carregada());
        QCOMPARE(tintseer.TintseerInicialitza(0), 0);
        tintseer.TintseerFinalitza();
    }
};

QTEST_GUILESS_MAIN(test_access)
#include "test_access.moc"
