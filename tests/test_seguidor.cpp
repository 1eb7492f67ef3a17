// The Tintseer link: the registry file, the calibration launch and its watch,
// and the tracker timer, on recording fakes; then the real layers under them.
#include "access/registre.h"
#include "fakes/banc.h"
#include "fakes/video_disc.h"
#include "platform/captura_v4l2.h"
#include "platform/programes_qt.h"
#include "platform/registre_fitxer.h"
#include "platform/tintseer_dinamic.h"
#include "seguiment.h"

#include <QLabel>
#include <QMenu>
#include <QtTest>

using namespace brisola;

namespace {

const QString clau = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\{3E8A51C2-94D7-4B60-AF1D-C27B05E6984D}_is1";

QByteArray registre_amb(const QByteArray& valors) {
    return "Windows Registry Editor Version 5.00\n\n[HKEY_LOCAL_MACHINE\\" + clau.toUtf8() + "]\n" + valors;
}

struct amb_calibrador : banc {
    std::unique_ptr<finestra_main> w;
    explicit amb_calibrador(const QByteArray& valors = "\"Inno Setup: App Path\"=\"/opt/tintseer\"\n") {
        escriu("tintseer.reg", registre_amb(valors));
        w = obre();
        w->show();
    }
    bool bloquejat() const { return !w->mn_op[0]->isEnabled() && !w->mn_acc[0]->isEnabled(); }
};

} // namespace

class test_seguidor : public QObject {
    Q_OBJECT

private slots:
    void registry_values_read_as_text() {
        banc b;
        b.escriu("r.reg", registre_amb("\"Inno Setup: App Path\"=\"C:\\\\Apps\\\\T\"\n"
                                       "\"Nombre\"=hex(4):78,56,34,12\n\"Directe\"=dword:0000002a\n"
                                       "\"Bytes\"=hex:0a,ff,\\\n  00\n\"Ampliat\"=hex(2):41,00\n@=\"defecte\"\n"));
        registre_fitxer r(b.cami("r.reg"));
        auto llegeix = [&](const QString& hive, const QString& nom) { return llegeix_valor(r, hive, clau, nom); };
        QCOMPARE(llegeix("HKEY_LOCAL_MACHINE", "Inno Setup: App Path"), QString("C:\\Apps\\T") + QChar(0));
        QCOMPARE(llegeix("hkey_local_machine", "inno setup: app path"), QString("C:\\Apps\\T") + QChar(0));
        QCOMPARE(llegeix("HKEY_LOCAL_MACHINE", "Nombre"), QString("dword:12345678"));
        QCOMPARE(llegeix("HKEY_LOCAL_MACHINE", "Directe"), QString("dword:0000002A"));
        QCOMPARE(llegeix("HKEY_LOCAL_MACHINE", "Bytes"), QString("hex:0A,FF,00"));
        QCOMPARE(llegeix("HKEY_LOCAL_MACHINE", ""), QString("defecte") + QChar(0));
        for (const auto& [hive, nom] : {std::pair("", "Nombre"), {"HKEY_ALTRE", "Nombre"}, {"HKEY_USERS", "Nombre"},
                                        {"HKEY_LOCAL_MACHINE", "Ampliat"}, {"HKEY_LOCAL_MACHINE", "Absent"}})
            QCOMPARE(llegeix(hive, nom), QString());
        QCOMPARE(llegeix_valor(registre_fitxer(b.cami("absent.reg")), "HKEY_LOCAL_MACHINE", clau, "Nombre"), QString());
    }

    void calibrating_locks_the_menus_while_its_window_is_open() {
        amb_calibrador c;
        c.llancador.consultes_fins_a_finestra = 3;
        c.w->mn_opcions_Click(1);
        QCOMPARE(c.llancador.iniciats, QStringList({"/opt/tintseer/bin/tintseer"}));
        QCOMPARE(c.w->estat.seguidor_finestra, uintptr_t(77));
        QVERIFY(c.bloquejat() && c.w->T_controll_tintseer->Enabled());
        c.rellotge.avanca(1000);
        QVERIFY(c.bloquejat()); // still open
        c.llancador.oberta = false;
        c.rellotge.avanca(500);
        QVERIFY(!c.bloquejat() && !c.w->T_controll_tintseer->Enabled());
        QString relatiu = "calibra"; // a relative program is taken from the programs folder
        int16_t mostra = 1;
        c.w->executa_programa(relatiu, mostra);
        QCOMPARE(c.llancador.iniciats.last(), c.cami("calibra"));
    }

    void no_window_no_program_or_no_registry_locks_nothing() {
        amb_calibrador mai;
        mai.llancador.consultes_fins_a_finestra = 0;
        int tocs = 0; // another of the instrument's timers, meanwhile
        QTimer altre;
        QObject::connect(&altre, &QTimer::timeout, [&] { ++tocs; });
        altre.start(10);
        QTimer::singleShot(400, [&] { mai.llancador.oberta = false; }); // it ends without showing a window
        mai.w->mn_opcions_Click(1);
        QVERIFY(!mai.bloquejat() && mai.caixes.avisos.isEmpty());
        QVERIFY(tocs >= 10);
        QVERIFY2(mai.llancador.consultes < 40, "the wait looks without sleeping between looks");

        amb_calibrador absent;
        absent.llancador.es_pot_iniciar = false;
        absent.w->mn_opcions_Click(1);
        QVERIFY(!absent.bloquejat());
        QCOMPARE(absent.caixes.avisos.size(), 1);
        QVERIFY(absent.caixes.avisos[0].contains("/opt/tintseer/bin/tintseer"));

        amb_calibrador sense_registre("");
        sense_registre.w->mn_opcions_Click(1);
        QVERIFY(sense_registre.llancador.iniciats.isEmpty() && !sense_registre.bloquejat());
        QCOMPARE(sense_registre.caixes.avisos.size(), 1);
    }

    void the_tracker_timer_follows_the_tracker_at_the_pace_mus_sets() {
        banc b;
        auto w = b.obre();
        w->mn_acces_Click(1);
        w->pantalla->setGeometry(0, 0, 640, 480); // a pixel a frame unit
        w->cursor_actiu->Move(1.5f, 300);
        b.rellotge.avanca(100); // nothing written: (0, 0), but 1.5 from the cursor keeps 2 (1.5 to the even 2)
        QCOMPARE(w->Label5->text(), QString(" 2"));
        b.tintseer.posicio = std::pair<int16_t, int16_t>(240, 400);
        b.rellotge.avanca(w->t_tintseer->Interval());
        QCOMPARE(w->Label5->text(), QString(" 400"));
        QCOMPARE(w->t_tintseer->Interval(), 250); // MUS's 400 × 400 / 640
        b.tintseer.posicio.reset(); // out of sight: the pointer stays
        b.rellotge.avanca(w->t_tintseer->Interval());
        QCOMPARE(w->Label5->text(), QString(" 400"));
        QCOMPARE(w->t_tintseer->Interval(), 250);
        b.tintseer.crides.clear();
        b.rellotge.avanca(249);
        QVERIFY(b.tintseer.crides.isEmpty());
        b.rellotge.avanca(1);
        QCOMPARE(b.tintseer.crides, QStringList({"ObtenirPosicio"}));
        w->mn_acces_Click(1); // started again: nothing is known of the last run until the object is seen
        b.rellotge.avanca(100);
        QCOMPARE(w->Label5->text(), QString(" 0"));
    }

    void a_player_who_starts_with_the_tracker_keeps_it_past_the_start_up_probe() {
        banc b;
        b.captura.drivers = b.captura.connectables = {0}; // a camera
        auto w = b.obre();
        w->mn_acces_Click(1); // a person's setup chooses it before the probe has run
        QCoreApplication::processEvents();
        QCOMPARE(b.tintseer.crides, QStringList({"Inicialitza", "Inicialitza"}));
        QVERIFY(w->mn_acces[1]->isEnabled());
        banc altre; // chosen and left for the mouse before the probe: the probe's own start is stopped
        altre.captura.drivers = altre.captura.connectables = {0};
        auto w2 = altre.obre();
        w2->mn_acces_Click(1);
        w2->mn_acces_Click(0);
        QCoreApplication::processEvents();
        QCOMPARE(altre.tintseer.crides.last(), QString("Finalitza"));
        banc tard; // the person's start fails, the probe's starts it: leaving for the mouse stops it
        tard.captura.drivers = tard.captura.connectables = {0};
        auto w3 = tard.obre();
        tard.tintseer.resultat_inici = 0;
        w3->mn_acces_Click(1);
        tard.tintseer.resultat_inici = 1;
        QCoreApplication::processEvents();
        w3->mn_acces_Click(0);
        QCOMPARE(tard.tintseer.crides, QStringList({"Inicialitza", "Inicialitza", "Finalitza"}));
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
        QTemporaryDir dir; // the tracker's settings name no video here
        qputenv("TINTSEER_CONFIG", QFile::encodeName(dir.filePath("tintseer.conf")));
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
        qunsetenv("TINTSEER_CONFIG");
    }

    void the_tracker_moves_the_pointer_as_in_a_mirror() {
        // The tracker's own settings, in a folder of the test's: the disc's green, read from a
        // video where it stands at the camera's left, which is the person's right.
        QTemporaryDir dir;
        qputenv("TINTSEER_CONFIG", QFile::encodeName(dir.filePath("tintseer.conf")));
        const cv::Point2d lloc(100, 240);
        video_disc::escriu(dir.filePath("disc.avi").toStdString(), 90, [&](int) { return lloc; });
        tintseer::configuracio c;
        cv::Vec3b hsv = tintseer::seguiment::color_a(video_disc::fotograma(lloc), cv::Point(lloc));
        std::tie(c.to, c.saturacio, c.valor) = std::make_tuple(hsv[0], hsv[1], hsv[2]);
        c.font = dir.filePath("disc.avi").toStdString();
        QVERIFY(c.desa());

        tintseer_dinamic tintseer(BRISOLA_BIN_DIR);
        tintseer.TintseerFinalitza(); // not running: harmless
        banc b;
        serveis s{b.midi, b.caixes, b.dialeg, b.rellotge, b.joystick, b.captura, tintseer, b.media, b.llancador,
                  b.dir.path(), b.dir.path(), [] {}};
        finestra_main w(s);
        w.mn_acces_Click(1);
        QCOMPARE(w.seguidor_estat, 1);
        QVERIFY(!w.mn_inv.Checked(0)); // from a fresh start, as the tracker leaves it
        int16_t v = 0, h = 0;
        QTRY_VERIFY((tintseer.TintseerObtenirPosicio(v, h), v != 0));
        QVERIFY(std::abs(h - lloc.x) <= 4); // the library speaks in the camera's own coordinates
        w.pantalla->setGeometry(0, 0, 640, 480); // a pixel a frame unit, once the window has settled
        b.rellotge.avanca(100);
        float x = w.cursor_actiu->Left(); // as in a mirror: at the person's right
        QVERIFY2(std::abs(x - (640 - lloc.x)) <= 4, qPrintable(QString::number(x)));
        w.mn_acces_Click(0);

        captura_v4l2 captura; // the probe takes the tracker's video for its camera
        QString nom, versio;
        QVERIFY(captura.capGetDriverDescriptionA(0, nom, versio));
        QCOMPARE(nom, QString("disc.avi"));
        QVERIFY(!captura.capGetDriverDescriptionA(1, nom, versio));
        HWND_CAPTURA finestra = captura.capCreateCaptureWindowA(0);
        QVERIFY(captura.connecta(finestra, 0) && captura.desconnecta(finestra));
        qunsetenv("TINTSEER_CONFIG");
    }

    void a_missing_tracker_library_does_nothing() {
        tintseer_dinamic absent("/no/such/folder");
        QVERIFY(!absent.carregada());
        QCOMPARE(absent.TintseerInicialitza(0), 0);
        absent.TintseerFinalitza();
    }
};

QTEST_MAIN(test_seguidor)
#include "test_seguidor.moc"
