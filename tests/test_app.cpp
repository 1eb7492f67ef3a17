// The window: start-up, menus, one handler at a time, and shut-down.
#include "app/desvetlla_amb_l_entrada.h"
#include "fakes/banc.h"
#include "platform/forma.h"
#include "platform/llista.h"
#include "platform/missatges_qt.h"

#include <QCloseEvent>
#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QtTest>

using namespace brisola;

class test_app : public QObject {
    Q_OBJECT

private slots:
    void the_language_setting_ticks_its_item() {
        const QList<std::pair<QByteArray, QList<bool>>> casos = {
            {"", {true, false, false}}, // no settings file: Catalan
            {"[INICI]\r\nidioma=espa\xF1ol\r\n", {false, true, false}},
            {"[inici]\r\nidioma=galego\r\n", {false, false, true}},
            {"[inici]\nidioma=Galego\n", {false, false, false}}, // exact comparison: case counts
        };
        for (const auto& [ini, esperat] : casos) {
            banc b;
            if (!ini.isEmpty()) b.escriu("brisola.ini", ini);
            auto w = b.obre();
            QCOMPARE(marques(w->mn_idioma), esperat);
            QVERIFY(b.caixes.caixes.isEmpty());
            if (ini.isEmpty()) QCOMPARE(w->estat.idioma, QString("catala"));
        }
    }

    void the_mapper_opens_only_with_more_than_one_device() {
        banc dos;
        auto w = dos.obre();
        QCOMPARE(w->List1->ListCount(), 2);
        QCOMPARE(dos.midi.oberts, std::vector<int32_t>{-1});
        QVERIFY(w->estat.hmidi_out != 0);

        banc un;
        un.midi.mapper_respon = false;
        auto w1 = un.obre();
        QCOMPARE(w1->List1->ListCount(), 1);
        QVERIFY(un.midi.oberts.empty());
        QCOMPARE(w1->estat.hmidi_out, HMIDIOUT(0));
    }

    void the_tracker_items_follow_the_start_up_probe() {
        struct cas {
            std::set<int16_t> drivers, connectables;
            bool biblioteca;
            int16_t resultat;
            bool actiu;
            QStringList crides;
            int finestres;
        };
        const QStringList sonda{"Inicialitza", "Finalitza"};
        const cas casos[] = {
            {{}, {}, true, 1, false, {}, 0},              // no capture driver: the tracker is never called
            {{2, 3}, {3}, true, 1, true, sonda, 1},      // the first driver that connects is probed once
            {{2, 3}, {3}, true, 0, true, sonda, 1},      // even a tracker that does not start
            {{0}, {0}, false, 1, false, {}, 1},          // a library that will not load
            {{0, 1}, {}, true, 1, false, {}, 1},         // no driver connects: its window goes
        };
        for (const cas& c : casos) {
            banc b;
            b.captura.drivers = c.drivers;
            b.captura.connectables = c.connectables;
            b.tintseer.present = c.biblioteca;
            b.tintseer.resultat_inici = c.resultat;
            auto w = b.obre();
            QVERIFY(b.tintseer.crides.isEmpty()); // the camera opens once the window is up
            QTRY_COMPARE(b.tintseer.crides, c.crides);
            QTRY_COMPARE(w->mn_acces[1]->isEnabled(), c.actiu);
            QCOMPARE(w->mn_opcions[1]->isEnabled(), c.actiu);
            QCOMPARE(b.captura.finestres_creades, c.finestres);
            QCOMPARE(b.captura.finestres_destruides, c.finestres);
            QCOMPARE(w->estat.captura_finestra, HWND_CAPTURA(0));
        }
    }

    void the_joystick_probe_stops_at_the_first_answer() {
        banc b;
        b.joystick.presents = {2, 4};
        auto w = b.obre();
        QCOMPARE(b.joystick.consultats, std::vector<uint32_t>({0, 1, 2}));
        QCOMPARE(w->estat.joy_trobat, 3);
        QVERIFY(w->mn_acces[2]->isEnabled());

        banc cap;
        QVERIFY(!cap.obre()->mn_acces[2]->isEnabled());
        QCOMPARE(cap.joystick.consultats.size(), size_t(5));
    }

    void the_window_as_created_and_its_check_marks() {
        banc b;
        auto w = b.obre();
        QVERIFY(!w->Frame2->isHidden() && w->pantalla->isHidden() && w->Frame1->isHidden());
        for (auto* t : {w->t_ritmes.get(), w->t_acords.get()}) QVERIFY(!t->Enabled() && t->Interval() == 0);
        for (auto* t : {w->T_mouse.get(), w->t_tintseer.get(), w->t_joy.get()}) QVERIFY(t->Enabled() && t->Interval() == 0);
        QVERIFY(!w->T_controll_tintseer->Enabled() && w->T_controll_tintseer->Interval() == 500);
        QCOMPARE(marques(w->fmus), QList<bool>({true, false, false, false, false}));
        QCOMPARE(marques(w->mn_pos), QList<bool>({true, false}));
        // Marks change only through the handlers: a second trigger does not untick.
        w->mn_pos[1]->trigger();
        w->mn_pos[1]->trigger();
        QCOMPARE(marques(w->mn_pos), QList<bool>({false, true}));
        w->mn_inv[1]->trigger();
        QCOMPARE(marques(w->mn_inv), QList<bool>({false, true}));
        w->mn_inv[1]->trigger();
        QCOMPARE(marques(w->mn_inv), QList<bool>({false, false}));
    }

    void a_settings_file_named_in_another_case_is_the_one_used() {
        banc b;
        b.escriu("Brisola.ini", "[inici]\r\nidioma=galego\r\n");
        auto w = b.obre();
        QCOMPARE(marques(w->mn_idioma), QList<bool>({false, false, true}));
        w->mn_idioma_Click(1);
        QCOMPARE(QDir(b.dir.path()).entryList(QDir::Files), QStringList({"Brisola.ini"}));
        QFile f(b.cami("Brisola.ini"));
        QVERIFY(f.open(QIODevice::ReadOnly));
        QCOMPARE(f.readAll(), QByteArray("[inici]\r\nidioma=espa\xF1ol\r\n"));
    }

    void closing_stops_the_song_the_tracker_and_the_device() {
        banc b;
        auto w = b.obre();
        w->estat.canco_actual = 1;
        QVERIFY(w->close());
        QCOMPARE(b.media.ordres, QStringList({"Stop Mid1", "Close Mid1"}));
        QCOMPARE(b.midi.tancats.size(), size_t(1));
        QVERIFY(b.tintseer.crides.isEmpty());
        QCOMPARE(b.acabaments, 0);

        banc c;
        auto w2 = c.obre();
        w2->seguidor_estat = 1;
        int16_t Cancel = 5;
        w2->Form_Unload(Cancel);
        QCOMPARE(Cancel, 0);
        QVERIFY(c.media.ordres.isEmpty());
        QCOMPARE(c.tintseer.crides, QStringList({"Finalitza"}));
    }

    void a_close_behind_another_handler_unloads_after_it() {
        banc b;
        auto w = b.obre();
        w->show();
        w->torn_handlers.executa(w->T_mouse.get(), [&] {
            w->close();
            QVERIFY(w->isVisible()); // not gone before its unload has run
            QVERIFY(b.midi.tancats.empty());
        });
        QCOMPARE(b.midi.tancats.size(), size_t(1));
        QTRY_VERIFY(!w->isVisible());
        QCOMPARE(b.midi.tancats.size(), size_t(1)); // unloaded once
    }

    void a_settings_file_deleted_while_running_comes_back_with_the_language() {
        banc b;
        b.escriu("brisola.ini", "[inici]\nidioma=catala\n");
        auto w = b.obre();
        QFile::remove(b.cami("brisola.ini"));
        w->mn_idioma_Click(2);
        QFile f(b.cami("brisola.ini"));
        QVERIFY(f.open(QIODevice::ReadOnly));
        QCOMPARE(f.readAll(), QByteArray("[inici]\nidioma=galego\n"));
    }

    void message_boxes_are_plain_ok_boxes() {
        missatges_qt caixes;
        QMessageBox::Icon icona = QMessageBox::Warning;
        QString titol;
        QTimer::singleShot(0, [&] {
            auto* caixa = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            QVERIFY(caixa);
            icona = caixa->icon();
            titol = caixa->windowTitle();
            QCOMPARE(caixa->text(), QString("un\ndos"));
            caixa->accept();
        });
        caixes.MsgBox("un\rdos", "Brisola");
        QCOMPARE(icona, QMessageBox::NoIcon);
        QCOMPARE(titol, QString("Brisola"));
    }

    void sortir_stops_the_pointers_and_ends_the_program() {
        banc b;
        b.captura.drivers = b.captura.connectables = {0};
        auto w = b.obre();
        b.tintseer.crides.clear();
        w->seguidor_estat = 1;
        w->mn_opcions[2]->trigger();
        QVERIFY(!w->T_mouse->Enabled() && !w->t_joy->Enabled() && !w->t_tintseer->Enabled());
        QVERIFY(w->Frame2->isHidden());
        QCOMPARE(b.tintseer.crides, QStringList({"Finalitza", "Finalitza"}));
        QCOMPARE(b.midi.tancats.size(), size_t(1));
        QCOMPARE(b.acabaments, 1);
    }

    // What the person does wakes a resting audio output on its way, and still reaches the window.
    void the_persons_input_wakes_the_audio_output() {
        int despertat = 0;
        desvetlla_amb_l_entrada desvetlla([&] { ++despertat; });
        qApp->installEventFilter(&desvetlla);
        QLineEdit camp;
        QTest::keyClick(&camp, Qt::Key_A);
        QCOMPARE(camp.text(), QString("a"));
        QCOMPARE(despertat, 1); // the press, not the release
        QKeyEvent repeticio(QEvent::KeyPress, Qt::Key_A, Qt::NoModifier, "a", true);
        QCoreApplication::sendEvent(&camp, &repeticio);
        QCOMPARE(despertat, 1); // nor the repeats of a key held
        QMouseEvent mou(QEvent::MouseMove, QPointF(5, 5), QPointF(5, 5), Qt::NoButton, Qt::NoButton, Qt::NoModifier);
        QCoreApplication::sendEvent(&camp, &mou);
        QCOMPARE(despertat, 2);
        QEvent pinta(QEvent::UpdateRequest); // the program's own doings wake nothing
        QCoreApplication::sendEvent(&camp, &pinta);
        QCOMPARE(despertat, 2);
    }
};

QTEST_MAIN(test_app)
#include "test_app.moc"
