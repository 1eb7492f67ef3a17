// Input devices on the real layers: V4L2 capture, the calibration program, the tracker library.
#include "platform/captura_v4l2.h"
#include "platform/programes_qt.h"
#include "platform/tintseer_dinamic.h"

#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

using namespace brisola;

class test_access : public QObject {
    Q_OBJECT

private slots:
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
        tintseer_dinamic absent("/no/such/folder"); // a missing library does nothing
        QVERIFY(!absent.carregada());
        QCOMPARE(absent.TintseerInicialitza(0), 0);
        absent.TintseerFinalitza();
    }
};

QTEST_GUILESS_MAIN(test_access)
#include "test_access.moc"
