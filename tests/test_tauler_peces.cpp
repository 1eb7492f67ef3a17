// The board's switch and pointer on their own, on the test's clock, with no window.
#include "fakes/rellotge_fals.h"
#include "fakes/sistemes_falsos.h"
#include "tauler/pulsador_tauler.h"
#include "tauler/punter_tauler.h"

#include <QtTest>
#include <QtTest/qtestspontaneevent.h>

using namespace brisola;

namespace {

// Four tiles; three rounds with nothing chosen close it.
struct tauler_fals : tauler_escombrat {
    bool obert_ = false, en_espera = false;
    int ressaltada = 0, voltes = 0, seguents = 0;
    std::vector<int> premudes;
    bool obert() const override { return obert_; }
    void obre() override { obert_ = true, ressaltada = voltes = 0; }
    void avanca() override {
        if (++ressaltada < 4) return;
        ressaltada = 0;
        obert_ = ++voltes < 3;
    }
    void seguent() override { ++seguents; }
    void prem() override { premudes.push_back(ressaltada); }
    bool premsa_en_espera() const override { return en_espera; }
};

struct amb_pulsador {
    rellotge_fals rellotge;
    tauler_fals tauler;
    pulsador_tauler p{rellotge, tauler};
    explicit amb_pulsador(int tecla_seguent = 0) { p.set_temps({2000, 500, tecla_seguent}, false); }
    void obre() {
        tauler.obre();
        p.set_temps({2000, 500, 0}, true);
    }
};

} // namespace

class test_tauler_peces : public QObject {
    Q_OBJECT

private slots:
    void the_hold_opens_the_board_counted_from_the_last_press() {
        amb_pulsador b;
        QVERIFY(!b.p.intercepta(true, Qt::Key_Space)); // the instrument plays
        b.rellotge.avanca(1500);
        QVERIFY(!b.p.intercepta(false, Qt::Key_Space));
        b.rellotge.avanca(100);
        QVERIFY(!b.p.intercepta(true, Qt::Key_Space));
        b.rellotge.avanca(1999);
        QVERIFY(!b.tauler.obert());
        b.rellotge.avanca(1);
        QVERIFY(b.tauler.obert());
        QVERIFY(b.p.intercepta(false, Qt::Key_Space)); // the hold was the board's, so is its release
        QVERIFY(b.tauler.premudes.empty());
    }

    void a_key_the_system_repeats_is_one_press_for_whoever_took_it() {
        amb_pulsador b;
        b.obre();
        QVERIFY(b.p.intercepta(true, Qt::Key_Space));
        b.rellotge.avanca(200);
        QVERIFY(b.p.intercepta(false, Qt::Key_Space));
        b.rellotge.avanca(29);
        QVERIFY(b.p.intercepta(true, Qt::Key_Space)); // the same press goes on
        QCOMPARE(b.tauler.premudes, std::vector<int>{0});
        b.tauler.obert_ = false;
        QVERIFY(b.p.intercepta(false, Qt::Key_Space)); // its release is still the board's
        b.rellotge.avanca(30);
        QVERIFY(!b.p.intercepta(true, Qt::Key_Space)); // a press of its own: the instrument's
        b.rellotge.avanca(200);
        QVERIFY(!b.p.intercepta(false, Qt::Key_Space));
        b.rellotge.avanca(10);
        QVERIFY(!b.p.intercepta(true, Qt::Key_Space));
    }

    void the_highlight_waits_for_a_press_that_has_begun() {
        amb_pulsador b;
        b.obre();
        b.rellotge.avanca(1000);
        QCOMPARE(b.tauler.ressaltada, 2);
        b.tauler.en_espera = true; // however long the wait, the board stays open on that tile
        b.rellotge.avanca(3 * 4 * 500);
        QVERIFY(b.tauler.obert() && b.tauler.ressaltada == 2);
        b.tauler.en_espera = false;
        QVERIFY(b.p.intercepta(true, Qt::Key_Space));
        QCOMPARE(b.tauler.premudes, std::vector<int>{2});
        b.tauler.obert_ = false; // the choice closed the board: the release is still the board's
        QVERIFY(b.p.intercepta(false, Qt::Key_Space));
    }

    void a_group_entered_starts_the_highlight_s_period_afresh() {
        amb_pulsador b;
        b.obre();
        b.rellotge.avanca(400);
        b.p.reinicia_escombrat();
        b.rellotge.avanca(499);
        QCOMPARE(b.tauler.ressaltada, 0);
        b.rellotge.avanca(1);
        QCOMPARE(b.tauler.ressaltada, 1);
        b.p.set_temps({2000, 500, Qt::Key_N}, false); // the highlight waits for the next key
        b.p.reinicia_escombrat();
        b.rellotge.avanca(1500);
        QCOMPARE(b.tauler.ressaltada, 1);
    }

    void the_next_key_moves_an_open_board_and_never_plays() {
        amb_pulsador b(Qt::Key_N);
        QVERIFY(b.p.intercepta(true, Qt::Key_N));
        QVERIFY(b.p.intercepta(false, Qt::Key_N));
        QCOMPARE(b.tauler.seguents, 0);
        b.rellotge.avanca(3000);
        QVERIFY(!b.tauler.obert()); // nor is it the hold
        b.tauler.obre();
        QVERIFY(b.p.intercepta(true, Qt::Key_N));
        QCOMPARE(b.tauler.seguents, 1);
        amb_pulsador sense; // with no next key, the mouse's button is still the switch
        sense.obre();
        QVERIFY(sense.p.intercepta(true, 0));
        QVERIFY(sense.tauler.premudes.size() == 1 && sense.tauler.seguents == 0);
    }

    void each_access_method_points_where_the_person_sees_it() {
        rellotge_fals rellotge;
        tintseer_fals tintseer;
        joystick_fals joystick;
        punter_tauler p(rellotge, tintseer, joystick, {});
        punter_tauler::vista v;
        v.mida = QSizeF(1280, 960); // twice the frame the methods measure in
        v.acces = 1;
        QVERIFY(!p.llegeix(v)); // the tracker has not seen its object
        tintseer.posicio = std::pair<int16_t, int16_t>(0, 0); // the picture's corner is a place too
        QCOMPARE(*p.llegeix(v), QPointF(1280, 0));
        tintseer.posicio = std::pair<int16_t, int16_t>(120, 40);
        QCOMPARE(*p.llegeix(v), QPointF(1200, 240)); // as in a mirror, y by the height
        v.invertir_x = v.invertir_y = true;
        QCOMPARE(*p.llegeix(v), QPointF(80, 720));
        v.cursor = QPointF(5, 6); // while the board is closed, the drawn cursor; unless the object is lost
        QCOMPARE(*p.llegeix(v), QPointF(5, 6));
        tintseer.posicio.reset();
        QVERIFY(!p.llegeix(v));
        v = {};
        v.mida = QSizeF(640, 480);
        v.acces = 2;
        QVERIFY(!p.llegeix(v)); // no joystick
        joystick.presents = {0};
        joystick.lectura.wXpos = 16500;
        joystick.lectura.wYpos = 33000;
        QCOMPARE(*p.llegeix(v), QPointF(480, 240));
        v.acces = 3;
        QVERIFY(!p.llegeix(v)); // the switch points nowhere
        v.acces = 0;
        v.ratoli = QPointF(0.25, 0.5);
        QCOMPARE(*p.llegeix(v), QPointF(480, 240));
        QEvent fora(QEvent::Leave);
        p.veu(fora);
        QVERIFY(!p.llegeix(v));
        QMouseEvent moguda(QEvent::MouseMove, QPointF(), QPointF(), Qt::NoButton, Qt::NoButton, Qt::NoModifier);
        p.veu(moguda); // a move we sent ourselves (the smoothing's) brings nothing back
        QVERIFY(!p.llegeix(v));
        QMouseEvent del_sistema(QEvent::MouseMove, QPointF(), QPointF(), Qt::NoButton, Qt::NoButton, Qt::NoModifier);
        QSpontaneKeyEvent::setSpontaneous(&del_sistema);
        p.veu(del_sistema); // the window system's own move does
        QVERIFY(p.llegeix(v));
        p.veu(fora);
        QEvent entra(QEvent::Enter);
        p.veu(entra);
        QVERIFY(p.llegeix(v));
    }

    void after_opening_a_rest_counts_only_once_the_pointer_has_moved() {
        rellotge_fals rellotge;
        tintseer_fals tintseer;
        joystick_fals joystick;
        joystick.presents = {0};
        std::vector<int> triats;
        punter_tauler::vista v;
        v.acces = 2;
        v.mida = QSizeF(640, 480);
        punter_tauler p(rellotge, tintseer, joystick,
                        {[&] { return v; }, [] { return std::vector<QRectF>{QRectF(0, 0, 320, 480)}; },
                         [&](int i) { triats.push_back(i); }, [](bool) {}});
        p.set_parametres(1, 0);
        joystick.lectura.wXpos = 50000; // on the left, as in a mirror
        p.espera_moviment();
        p.mira_si(true);
        rellotge.avanca(3000);
        QVERIFY(triats.empty());
        joystick.lectura.wXpos = 49000;
        rellotge.avanca(900);
        QVERIFY(triats.empty());
        rellotge.avanca(300);
        QCOMPARE(triats, std::vector<int>{0});
    }
    void a_block_put_anew_replaces_the_last() {
        repos r;
        r.set_parametres(1, 0);
        const std::vector<QRectF> rajoles{QRectF(0, 0, 100, 100), QRectF(100, 0, 100, 100)};
        r.bloqueja(rajoles[0]);
        r.bloqueja(QRectF(300, 300, 0, 0)); // only this point has to be left now
        auto reposa = [&](QPointF p) {
            int triada = -1, mirades = 0;
            for (; mirades < 40 && triada < 0; ++mirades) triada = r.mira(&p, rajoles, 0.05);
            return std::make_pair(triada, mirades);
        };
        QCOMPARE(reposa({50, 50}).first, 0);
        QVERIFY(reposa({150, 50}).second <= 22); // the next rest is as long as the first, none left over

    }
};

QTEST_MAIN(test_tauler_peces)
#include "test_tauler_peces.moc"
