// The board of choices reached by resting a pointer: the mouse, the joystick, the tracker.
#include "tauler_banc.h"
#include "fakes/video_disc.h"
#include "platform/tintseer_dinamic.h"
#include "seguiment.h"

using namespace brisola;

namespace {

// The tracker's library following a video of our own, with its settings in a folder of the test's.
struct amb_video {
    QTemporaryDir dir;
    tintseer_dinamic seguidor{BRISOLA_BIN_DIR};
    const QByteArray configuracio_abans = qgetenv("TINTSEER_CONFIG");
    amb_video(const std::function<std::optional<cv::Point2d>(int)>& centre, int fotogrames) {
        qputenv("TINTSEER_CONFIG", QFile::encodeName(dir.filePath("tintseer.conf")));
        const cv::Point2d primer = *centre(0);
        video_disc::escriu(dir.filePath("disc.avi").toStdString(), fotogrames, centre);
        tintseer::configuracio c;
        cv::Vec3b hsv = tintseer::seguiment::color_a(video_disc::fotograma(primer), cv::Point(primer));
        std::tie(c.to, c.saturacio, c.valor) = std::make_tuple(hsv[0], hsv[1], hsv[2]);
        c.font = dir.filePath("disc.avi").toStdString();
        c.desa();
    }
    ~amb_video() {
        seguidor.TintseerFinalitza();
        if (configuracio_abans.isNull()) qunsetenv("TINTSEER_CONFIG");
        else qputenv("TINTSEER_CONFIG", configuracio_abans);
    }
    // Until the library's horizontal reading (negative: nothing written) passes `prova`. The video
    // runs at its own pace on the machine's clock: a loaded machine's sanitizer build is given long.
    bool espera(const std::function<bool(int16_t)>& prova) {
        QDeadlineTimer limit(30000);
        for (;;) {
            int16_t v = -1, h = -1;
            seguidor.TintseerObtenirPosicio(v, h);
            if (prova(h)) return true;
            if (limit.hasExpired()) return false;
            QTest::qWait(10);
        }
    }
};

} // namespace

class test_tauler_punter : public QObject {
    Q_OBJECT

private slots:
    void a_pointer_user_rests_on_the_corner_then_on_a_tile() {
        ajuts a;
        a.tauler_cantonada = 2; // top right
        a.repos = 1000;
        amb_tauler b(a, 0);
        b.w->pantalla->resize(640, 480);
        b.apunta(0.95, 0.05); // the drawn cursor follows at the mouse timer's pace
        b.rellotge.avanca(700);
        b.apunta(0.5, 0.5);
        b.rellotge.avanca(200); // a slip off the button drains the dwell a little, it does not restart it
        b.apunta(0.95, 0.05);
        b.rellotge.avanca(400);
        QVERIFY(!b.t().obert());
        b.rellotge.avanca(200);
        QVERIFY(b.t().obert());

        b.apunta(b.lloc("Modalitat"));
        b.rellotge.avanca(1100);
        QCOMPARE(b.t().rajoles().front().text, QString("Ritme i notes"));
        b.rellotge.avanca(2000); // the pointer has not left the place it chose from: nothing more
        QCOMPARE(b.t().rajoles().front().text, QString("Ritme i notes"));
        const QRectF escala = b.lloc("Escala i temps");
        b.apunta(escala);
        b.rellotge.avanca(600);
        // A tremor within the tolerance keeps the dwell going.
        b.apunta((escala.right() + 10) / b.t().width(), escala.center().y() / b.t().height()); // the tolerance: 19 px
        b.rellotge.avanca(500);
        QVERIFY(!b.t().obert() && b.w->fmus.Checked(1));
        QVERIFY(b.w->T_mouse->Enabled()); // play goes on

        // A mouse that leaves the window rests nowhere, whatever it last passed over.
        b.t().obre();
        b.apunta(b.lloc("Modalitat"));
        QEvent fora(QEvent::Leave);
        QCoreApplication::sendEvent(b.w->pantalla, &fora);
        b.rellotge.avanca(3000);
        QCOMPARE(b.t().rajoles().front().text, QString("Modalitat"));
    }

    void a_box_closes_by_resting_anywhere_and_the_board_opens_again() {
        ajuts a;
        a.tauler_cantonada = 1;
        a.repos = 1000;
        amb_tauler b(a, 0);
        b.w->pantalla->resize(640, 480);
        b.t().obre();
        for (const char* tile : {"Modalitat", "Cançó"}) {
            b.apunta(b.lloc(tile));
            b.rellotge.avanca(1100);
        }
        b.apunta(b.t().llocs()[0]); // the first song, whose file is not there
        b.rellotge.avanca(1100);
        QVERIFY(b.t().obert() && !b.t().missatge().isEmpty());
        b.rellotge.avanca(1100); // resting where the song was
        QVERIFY(!b.t().obert());
        b.apunta(0.05, 0.05);
        b.rellotge.avanca(1100);
        QVERIFY(b.t().obert());
    }

    void the_corner_button_follows_the_access_method() {
        ajuts a;
        a.tauler_cantonada = 1;
        a.repos = 1000;
        amb_tauler b(a, 0);
        QVERIFY(b.t().isVisible());
        b.w->mn_acces[3]->trigger(); // the switch, whose cursor may rest in the corner
        QVERIFY(!b.t().isVisible());
        b.w->cursor_actiu->Move(0, 0);
        b.rellotge.avanca(3000);
        QVERIFY(!b.t().obert());
        b.w->mn_acces[2]->trigger();
        QVERIFY(b.t().isVisible());
    }

    void a_tracker_held_still_rests_on_the_lower_tiles_of_a_wide_surface() {
        ajuts a;
        a.repos = 1000;
        amb_tauler b(a, 1);
        b.w->pantalla->resize(1280, 480);
        b.t().obre();
        b.tintseer.posicio = std::pair<int16_t, int16_t>(100, 600); // top left, as in a mirror
        b.rellotge.avanca(200);
        b.tintseer.posicio = std::pair<int16_t, int16_t>(440, 600); // the person's bottom left
        b.rellotge.avanca(1500);
        QVERIFY(b.t().obert());
        QCOMPARE(b.t().rajoles().back().text, QString("Tornar")); // the bottom row's first tile, a group, opened
        QCOMPARE(b.t().rajoles().size(), size_t(2));
        b.tintseer.posicio = std::pair<int16_t, int16_t>(100, 600); // on "Cap persona"
        b.rellotge.avanca(600);
        b.tintseer.posicio.reset(); // and lost: no rest
        b.rellotge.avanca(3000);
        QCOMPARE(b.t().rajoles().size(), size_t(2));
    }

    void a_joystick_rests_on_a_tile() {
        ajuts a;
        a.repos = 1000;
        amb_tauler b(a, 2);
        b.w->pantalla->resize(640, 480);
        b.t().obre();
        b.joystick.lectura.wXpos = 65535 - 8000; // the person's left, as in a mirror
        b.joystick.lectura.wYpos = 8000;
        b.rellotge.avanca(1100);
        QCOMPARE(b.t().rajoles().front().text, QString("Ritme i notes"));
    }

    void a_joystick_player_who_chooses_no_person_on_the_board_keeps_the_corner() {
        ajuts a;
        a.tauler_cantonada = 1;
        a.repos = 1000;
        amb_tauler b(a, 2);
        b.w->pantalla->resize(640, 480);
        b.t().obre();
        auto apunta = [&](const QRectF& r) { // a quarter in from the tile's top left, as in a mirror
            b.joystick.lectura.wXpos = uint32_t((640 - r.left() - r.width() / 4) * 66000 / 640);
            b.joystick.lectura.wYpos = uint32_t((r.top() + r.height() / 4) * 66000 / 480);
        };
        apunta(b.lloc("Persona"));
        b.rellotge.avanca(1100);
        apunta(b.lloc("Cap persona"));
        b.rellotge.avanca(1100);
        QVERIFY(!b.t().obert() && b.w->mn_acces.Checked(2));
        QCOMPARE(b.m->captura().ajuts.tauler_cantonada, 1);
        QVERIFY(b.t().isVisible()); // the corner's button
    }

    void a_mouse_gone_from_the_window_rests_nowhere_while_the_smoothing_settles() {
        ajuts a;
        a.repos = 1000;
        a.suavitzat = 2;
        amb_tauler b(a, 0);
        b.w->pantalla->resize(640, 480);
        auto mou = [&](QPointF lloc) {
            QMouseEvent e(QEvent::MouseMove, lloc, b.w->pantalla->mapToGlobal(lloc), Qt::NoButton, Qt::NoButton,
                          Qt::NoModifier);
            QCoreApplication::sendEvent(b.w->pantalla, &e);
        };
        mou({600, 400});
        b.rellotge.avanca(1000);
        b.t().obre();
        mou(b.lloc("Modalitat").center()); // the smoothed pointer glides there
        b.rellotge.avanca(100);
        QEvent fora(QEvent::Leave);
        QCoreApplication::sendEvent(b.w->pantalla, &fora);
        b.rellotge.avanca(3000);
        QCOMPARE(b.t().rajoles().front().text, QString("Modalitat"));
    }

    void a_helper_opening_the_board_over_a_resting_pointer_chooses_nothing_and_escape_closes_it() {
        ajuts a;
        a.repos = 1000;
        amb_tauler b(a, 0);
        b.w->pantalla->resize(640, 480);
        b.apunta(0.1, 0.1);
        b.rellotge.avanca(100);
        b.t().obre();
        b.rellotge.avanca(3000);
        QCOMPARE(b.t().rajoles().front().text, QString("Modalitat"));
        b.apunta(b.lloc("Instrument"));
        b.rellotge.avanca(1100);
        QVERIFY(b.t().obert() && b.t().rajoles().front().text != "Modalitat");
        QTest::keyClick(b.w.get(), Qt::Key_Escape);
        QVERIFY(!b.t().obert());
        b.w->show();
        QVERIFY(QTest::qWaitForWindowActive(b.w.get()));
        QTest::keyClick(b.w.get(), Qt::Key_G, Qt::ControlModifier); // the helper's shortcut opens and closes it
        QVERIFY(b.t().obert());
        QTest::keyClick(b.w.get(), Qt::Key_G, Qt::ControlModifier);
        QVERIFY(!b.t().obert());
    }

    void a_tracker_rests_on_the_corner_in_a_video() {
        const cv::Point2d lloc(600, 40); // a disc held still at the person's top left
        amb_video v([&](int) { return lloc; }, 300);
        ajuts a;
        a.tauler_cantonada = 1;
        a.repos = 1000;
        amb_tauler b(a, 1, {}, &v.seguidor);
        b.w->pantalla->resize(640, 480);
        QVERIFY(v.espera([](int16_t h) { return h >= 0; }));
        b.rellotge.avanca(1500);
        QVERIFY(b.t().obert());
    }

    void a_tracker_chooses_on_a_video_and_a_lost_object_chooses_nothing() {
        // As in a mirror: on "Persona", then on "Instrument", then on a group of instruments, then gone.
        const std::vector<cv::Point2d> llocs{{560, 360}, {400, 120}, {110, 120}};
        amb_video v([&](int i) { return i < 180 ? std::optional(llocs[size_t(i / 60)]) : std::nullopt; }, 240);
        auto a_prop = [](double x) { return [x](int16_t h) { return h >= 0 && std::abs(h - x) < 20; }; };
        ajuts a;
        a.repos = 1000;
        amb_tauler b(a, 1, {}, &v.seguidor);
        b.w->pantalla->resize(640, 480);
        QVERIFY(v.espera(a_prop(560)));
        b.t().obre(); // over the resting object: nothing until it moves
        QVERIFY(v.espera(a_prop(400)));
        b.rellotge.avanca(1100);
        QCOMPARE(b.t().rajoles().back().text, QString("Tornar")); // "Instrument" opened
        const size_t grup = b.t().rajoles().size();
        QVERIFY(v.espera(a_prop(110)));
        b.rellotge.avanca(500);
        QCOMPARE(b.t().ressaltada(), 2);
        QVERIFY(v.espera([](int16_t h) { return h < 0; }));
        b.rellotge.avanca(3000);
        QVERIFY(b.t().obert() && b.t().rajoles().size() == grup); // nothing more was chosen
    }
};

QTEST_MAIN(test_tauler_punter)
#include "test_tauler_punter.moc"
