// The switch as a hand with a tremor works it: its times, its keys and
// buttons, and never a note that starts after the last release.
#include "fakes/banc.h"
#include "persones/menu_persona.h"
#include "tauler/tauler.h"

#include <QtTest>

#include <algorithm>

using namespace brisola;

namespace {

// A switch user with these times.
struct amb_pulsador : banc {
    std::unique_ptr<finestra_main> w = obre();
    std::unique_ptr<menu_persona> m = std::make_unique<menu_persona>(*w);
    int marca_temps = 1000000; // the window system's clock, for presses it tells
    Qt::MouseButtons premuts;

    explicit amb_pulsador(int acceptacio, int ignora, int tecla_seguent = 0) {
        m->inicia({});
        w->mn_acces_Click(3);
        aplica(acceptacio, ignora, tecla_seguent);
    }
    void aplica(int acceptacio, int ignora, int tecla_seguent = 0) {
        persona p;
        p.acces = 3;
        p.ajuts.acceptacio = acceptacio;
        p.ajuts.ignora = ignora;
        p.ajuts.tecla_seguent = tecla_seguent;
        m->aplica(p);
    }
    long notes() const {
        return std::count_if(midi.enviats.begin(), midi.enviats.end(),
                             [](uint32_t m) { return (m & 0xF0) == 0x90 && (m >> 16) > 0; });
    }
    // Whether notes start over the next two seconds.
    bool sona() {
        const long abans = notes();
        rellotge.avanca(2000);
        return notes() > abans;
    }
    void tecla(bool premsa, int t, Qt::KeyboardModifiers modificadors = {}) {
        premsa ? QTest::keyPress(w.get(), Qt::Key(t), modificadors) : QTest::keyRelease(w.get(), Qt::Key(t), modificadors);
    }
    // A button of the mouse on the surface, told by the window system at `ms` after the last one.
    void boto(bool premsa, Qt::MouseButton b, int ms) {
        rellotge.avanca(ms);
        marca_temps += ms;
        QWindow* finestra = w->windowHandle();
        const QPointF lloc = w->pantalla->mapTo(w.get(), QPointF(w->pantalla->width() / 2.0, w->pantalla->height() / 2.0));
        premuts.setFlag(b, premsa);
        qt_handleMouseEvent(finestra, lloc, finestra->mapToGlobal(lloc), premuts, b,
                            premsa ? QEvent::MouseButtonPress : QEvent::MouseButtonRelease, Qt::NoModifier, marca_temps);
        QCoreApplication::processEvents();
    }
};

} // namespace

class test_pulsador : public QObject {
    Q_OBJECT

private slots:
    void the_switch_waits_for_a_held_press_and_ignores_a_quick_second_one() {
        amb_pulsador p(300, 500);
        // Whether a press held so long sounded: a note starts while it is held.
        auto sona = [&](int ms) {
            auto abans = p.notes();
            QTest::mousePress(p.w->pantalla, Qt::LeftButton, {}, QPoint(20, 20));
            p.rellotge.avanca(ms);
            QTest::mouseRelease(p.w->pantalla, Qt::LeftButton, {}, QPoint(20, 20));
            return p.notes() > abans;
        };
        std::vector<std::pair<bool, bool>> dits; // what the session's journal is told
        p.m->ajustos().pulsador().set_observador([&](bool premsa, bool acceptada) { dits.emplace_back(premsa, acceptada); });
        QVERIFY(!sona(200)); // a brush of the switch
        p.rellotge.avanca(100);
        QVERIFY((dits == std::vector<std::pair<bool, bool>>{{true, false}, {false, false}}));
        QVERIFY(sona(400));  // held: it plays from the moment it counts
        p.rellotge.avanca(200);
        QVERIFY(!sona(400)); // a tremor's second press
        p.rellotge.avanca(600);
        QVERIFY(sona(400));
        QCOMPARE(p.m->captura().ajuts.acceptacio, 300);
        p.m->cap_persona(); // the seed's switch again: every press as it comes
        p.w->mn_acces_Click(3);
        QVERIFY(sona(10));
    }

    void a_release_ends_only_the_press_it_belongs_to() {
        amb_pulsador p(60, 250);
        p.tecla(true, Qt::Key_Space);
        QVERIFY(p.sona());
        p.tecla(true, Qt::Key_A); // a tremor brushes another key
        p.rellotge.avanca(20);
        p.tecla(false, Qt::Key_A);
        QVERIFY(p.sona());
        p.tecla(false, Qt::Key_Space);
        p.rellotge.avanca(100);
        QVERIFY(!p.sona());
        p.rellotge.avanca(500); // a hand rolling off two keys: the switch's release first
        p.tecla(true, Qt::Key_Space);
        p.rellotge.avanca(200);
        p.tecla(true, Qt::Key_A);
        p.tecla(false, Qt::Key_Space);
        p.rellotge.avanca(10);
        p.tecla(false, Qt::Key_A);
        p.rellotge.avanca(100);
        QVERIFY(!p.sona());

        // The helper changes the times during a hold: its release still ends it.
        p.tecla(true, Qt::Key_Space);
        QVERIFY(p.sona());
        p.m->ajustos().pulsador().set_temps(100, 250);
        p.tecla(false, Qt::Key_Space);
        p.rellotge.avanca(100);
        QVERIFY(!p.sona());

        // The helper changes the access method during a hold, and back: the next press plays.
        p.tecla(true, Qt::Key_Space);
        p.rellotge.avanca(100);
        p.w->mn_acces_Click(0);
        QTest::mouseMove(p.w->pantalla, QPoint(30, 40)); // the mouse's own moves pass the stage
        const auto x = p.w->estat.ratoli_x;
        QTest::mouseMove(p.w->pantalla, QPoint(200, 40));
        QVERIFY(p.w->estat.ratoli_x != x);
        p.tecla(false, Qt::Key_Space);
        p.w->mn_acces_Click(3);
        p.rellotge.avanca(500);
        p.tecla(true, Qt::Key_Space);
        QVERIFY(p.sona());
        p.tecla(false, Qt::Key_Space);

        // A second button brushed during a hold of the first.
        p.boto(true, Qt::LeftButton, 500);
        QVERIFY(p.sona());
        p.boto(true, Qt::RightButton, 10);
        p.boto(false, Qt::RightButton, 20);
        QVERIFY(p.sona());
        p.boto(false, Qt::LeftButton, 10);
        p.rellotge.avanca(100);
        QVERIFY(!p.sona());

        // Brushes with a modifier held are brushes too: none plays, and nothing plays after.
        const long antes = p.notes();
        for (auto [t, en_premer, en_deixar] : {std::tuple{Qt::Key_Space, Qt::NoModifier, Qt::ShiftModifier},
                                               std::tuple{Qt::Key_5, Qt::KeypadModifier, Qt::KeypadModifier}}) {
            p.rellotge.avanca(500);
            p.tecla(true, t, en_premer);
            p.rellotge.avanca(20);
            p.tecla(false, t, en_deixar);
            QVERIFY(!p.sona());
        }
        QCOMPARE(p.notes(), antes);

        // New times while a press waits: it is not delivered after its release.
        p.rellotge.avanca(500);
        p.tecla(true, Qt::Key_Space);
        p.rellotge.avanca(20);
        p.aplica(0, 0);
        p.tecla(false, Qt::Key_Space);
        QVERIFY(!p.sona());
        // Times set while a press plays: its own release still ends it.
        p.tecla(true, Qt::Key_Space);
        p.m->ajustos().pulsador().set_temps(60, 250);
        QVERIFY(p.sona());
        p.tecla(false, Qt::Key_Space);
        p.rellotge.avanca(100);
        QVERIFY(!p.sona());
    }

    void a_press_the_board_took_ends_with_its_release_whatever_changes_during_it() {
        for (const bool canvia_l_acces : {false, true}) {
            amb_pulsador p(60, 0);
            persona amb_tauler;
            amb_tauler.acces = 3;
            amb_tauler.ajuts.acceptacio = 60;
            amb_tauler.ajuts.tauler_pulsador = 2000;
            p.m->aplica(amb_tauler);
            p.tecla(true, Qt::Key_Space);
            p.rellotge.avanca(2200);
            QVERIFY(p.m->tauler().obert());
            if (canvia_l_acces) {
                p.w->mn_acces_Click(0); // the helper takes the mouse during the hold...
                p.tecla(false, Qt::Key_Space);
                p.w->mn_acces_Click(3); // ...and gives the switch back
            } else {
                amb_tauler.ajuts.acceptacio = 0; // the times are gone during the hold
                p.m->aplica(amb_tauler);
                p.tecla(false, Qt::Key_Space);
            }
            p.rellotge.avanca(500);
            p.m->tauler().tanca();
            p.tecla(true, Qt::Key_Space);
            p.rellotge.avanca(100);
            QVERIFY2(p.w->T_mouse->Enabled(), canvia_l_acces ? "a press after a change of access" : "a press after the times changed");
            p.tecla(false, Qt::Key_Space);
            p.rellotge.avanca(100);
            QVERIFY2(!p.w->T_mouse->Enabled(), canvia_l_acces ? "after a change of access" : "after the times changed");
        }
    }

    void a_double_click_goes_through_the_same_times() {
        amb_pulsador p(300, 500);
        for (int i = 0; i < 3; ++i) { // a double click, then another
            p.boto(true, Qt::LeftButton, 400);
            p.boto(false, Qt::LeftButton, 80);
            p.boto(true, Qt::LeftButton, 100);
            p.boto(false, Qt::LeftButton, 80);
        }
        QCOMPARE(p.notes(), 0);
        QVERIFY(!p.sona());
        p.aplica(60, 0);
        p.boto(true, Qt::LeftButton, 600);
        p.boto(false, Qt::LeftButton, 80);
        p.boto(true, Qt::LeftButton, 100);
        QVERIFY(p.sona());
        p.boto(false, Qt::LeftButton, 10);
        p.rellotge.avanca(100);
        QVERIFY(!p.sona());
    }

    void a_key_the_system_repeats_is_one_held_switch() {
        amb_pulsador p(250, 500, Qt::Key_N);
        // A release and a press every 40 ms, with no repeat flag, as many switch interfaces send.
        auto repeteix = [&](int t, int vegades) {
            p.tecla(true, t);
            for (int i = 0; i < vegades; ++i) {
                p.rellotge.avanca(40);
                p.tecla(false, t);
                p.tecla(true, t);
            }
        };
        repeteix(Qt::Key_Space, 20);
        QVERIFY(p.notes() > 0);
        p.tecla(false, Qt::Key_Space);
        p.rellotge.avanca(100);
        QVERIFY(!p.sona());

        // The board's "next" key: one move a press however long it is held, none for a brush.
        tauler& t = p.m->tauler();
        t.obre();
        const int abans = t.ressaltada();
        p.tecla(true, Qt::Key_N);
        p.rellotge.avanca(100);
        p.tecla(false, Qt::Key_N);
        p.rellotge.avanca(600);
        repeteix(Qt::Key_N, 20);
        p.tecla(false, Qt::Key_N);
        p.rellotge.avanca(100);
        QCOMPARE(t.ressaltada(), abans + 1);
    }

    void a_helper_s_shortcut_is_never_the_switch() {
        amb_pulsador p(0, 0);
        QVERIFY(QTest::qWaitForWindowActive(p.w.get()));
        QTest::keyClick(p.w.get(), Qt::Key_B, Qt::ControlModifier);
        QVERIFY(p.w->fmus.Checked(2));
        QTest::keyClick(p.w.get(), Qt::Key_Q, Qt::ControlModifier); // no item's: still not the switch
        QCOMPARE(p.notes(), 0);
        QTest::keyClick(p.w.get(), Qt::Key_M, Qt::ControlModifier);
        QVERIFY(p.w->mn_acces.Checked(0));
    }
};

QTEST_MAIN(test_pulsador)
#include "test_pulsador.moc"
