// The board of choices: built from the menus, walked with one switch.
#include "tauler_banc.h"

using namespace brisola;

namespace {

// Holds the switch for the board, and chooses that person in its "Persona" group.
void tria_persona(amb_tauler& b, const QString& nom) {
    b.prem();
    b.rellotge.avanca(3000);
    b.deixa();
    b.espera("Persona");
    b.prem();
    b.deixa();
    b.espera(nom);
    b.prem();
    b.deixa();
}

} // namespace

class test_tauler : public QObject {
    Q_OBJECT

private slots:
    void every_choice_of_the_catalogue_is_three_presses_and_thirty_seconds_away() {
        amb_tauler b(ajuts{}, 3);
        b.t().obre();
        const std::vector<std::vector<int>> fulles = camins(b.t().rajoles());
        b.t().tanca();
        std::vector<double> premudes, segons;
        for (const std::vector<int>& cami : fulles) {
            const auto p = b.camina(cami);
            QVERIFY(p);
            premudes.push_back(p->premudes);
            segons.push_back(p->segons);
        }
        std::sort(premudes.begin(), premudes.end());
        std::sort(segons.begin(), segons.end());
        const size_t mig = fulles.size() / 2;
        qInfo("board: %zu choices; presses median %.0f max %.0f; seconds at the default scan time median %.1f max %.1f",
              fulles.size(), premudes[mig], premudes.back(), segons[mig], segons.back());
        QVERIFY(fulles.size() > 60); // 40 instruments, 7 rhythms, 5 songs and the rest
        QVERIFY(premudes.back() <= 3 && segons.back() <= 30);
    }

    void long_groups_are_split_and_empty_ones_left_out() {
        QByteArray cataleg = "[instrumentos]\nnum=200\n";
        for (int i = 1; i <= 200; ++i) cataleg += QByteArray::number(i) + "nom=I" + QByteArray::number(i) + "\n" +
                                                  QByteArray::number(i) + "codi=" + QByteArray::number(i % 128) + "\n";
        amb_tauler b(ajuts{}, 3, cataleg);
        b.t().obre();
        std::function<void(const std::vector<rajola>&)> mira = [&](const std::vector<rajola>& rs) {
            QVERIFY(rs.size() <= maxim_per_grup + 1);
            for (const rajola& r : rs) {
                QVERIFY(r.t != rajola::tipus::grup || !r.fills.empty());
                mira(r.fills);
            }
        };
        mira(b.t().rajoles());
        const rajola& instruments = b.t().rajoles()[1];
        QStringList esperats;
        for (int i = 1; i <= 200; ++i) esperats << "I" + QString::number(i);
        QCOMPARE(amb_tauler::textos(instruments), esperats);
        QCOMPARE(instruments.fills[0].text, QString("I1 – I64")); // named by its first and last choice
        for (const rajola& g : instruments.fills) // no group of a single group
            QVERIFY(g.t != rajola::tipus::grup || g.fills.size() > 2 || g.fills[0].t != rajola::tipus::grup);
        b.t().tanca();
        for (const std::vector<int>& cami : camins(b.t().rajoles()))
            if (cami[0] == 1) QVERIFY(b.camina(cami)); // each one chosen with the switch
        b.t().obre();
        const rajola& modalitat = b.t().rajoles()[0];
        QVERIFY(std::none_of(modalitat.fills.begin(), modalitat.fills.end(),
                             [](const rajola& r) { return r.t == rajola::tipus::grup; })); // no rhythm, no song
    }

    void a_switch_user_holds_the_switch_then_presses_on_the_highlight() {
        amb_tauler b(escombrat(4000), 3);
        b.prem();
        QVERIFY(b.notes() > 0); // the switch plays as ever
        b.rellotge.avanca(3999);
        QVERIFY(!b.t().obert());
        b.rellotge.avanca(1);
        QVERIFY(b.t().obert());
        QVERIFY(!b.w->T_mouse->Enabled()); // music stops
        const long abans = b.notes();
        b.deixa();
        b.espera("Modalitat");
        b.prem();
        b.deixa();
        b.espera("Bateria");
        b.prem();
        QVERIFY(!b.t().obert() && b.w->fmus.Checked(2));
        b.deixa(); // the press chose: its release plays nothing
        QCOMPARE(b.notes(), abans);
        QCOMPARE(marques(b.w->fmus), QList<bool>({false, false, true, false, false}));
        const size_t fins_ara = b.midi.enviats.size();
        b.prem(); // play goes on
        b.rellotge.avanca(3000); // the drums join a bar after the chords
        QVERIFY(std::any_of(b.midi.enviats.begin() + long(fins_ara), b.midi.enviats.end(),
                            [](uint32_t m) { return (m & 0xFF) == 0x99; }));

        b.deixa();
        QVERIFY(!b.t().obert());

        // Three rounds with nothing chosen close the board, however deep, and play goes on.
        b.prem();
        b.rellotge.avanca(4000);
        b.deixa();
        b.espera("Instrument");
        b.prem();
        b.deixa();
        QVERIFY(!b.t().rajoles().empty() && b.t().rajoles().back().t == rajola::tipus::tornar);
        b.rellotge.avanca(500 * 3 * int(b.t().rajoles().size()));
        QVERIFY(!b.t().obert());

        // A player slow to decide: two rounds on the first tiles, then three whole rounds in the group entered.
        b.t().obre();
        b.rellotge.avanca(500 * 2 * int(b.t().rajoles().size()));
        b.espera("Velocitat");
        b.prem();
        b.deixa();
        b.rellotge.avanca(500 * (3 * int(b.t().rajoles().size()) - 1) - 50);
        QVERIFY(b.t().obert());
        b.rellotge.avanca(550);
        QVERIFY(!b.t().obert());
        b.t().obre(); // and "Tornar" goes back to the tile of the group it leaves
        b.espera("Velocitat");
        b.prem();
        b.deixa();
        b.espera("Tornar");
        b.prem();
        b.deixa();
        QCOMPARE(b.t().rajoles()[size_t(b.t().ressaltada())].text, QString("Velocitat"));
        b.t().tanca();
    }

    void after_the_board_closed_by_itself_a_press_plays_and_its_release_stops() {
        amb_tauler b(escombrat(), 3);
        b.prem();
        b.rellotge.avanca(2000);
        b.deixa();
        b.rellotge.avanca(500 * 3 * int(b.t().rajoles().size()));
        QVERIFY(!b.t().obert());
        b.prem();
        QVERIFY(b.w->T_mouse->Enabled());
        b.deixa();
        QVERIFY(!b.w->T_mouse->Enabled());
    }

    void with_an_acceptance_time_the_press_chooses_the_tile_highlighted_as_it_began() {
        ajuts a = escombrat();
        a.acceptacio = 300;
        amb_tauler b(a, 3);
        b.t().obre();
        QVERIFY(b.t().indicacio().isEmpty()); // scanning by itself, there is nothing to wait for
        b.rellotge.avanca(400);
        QTest::keyPress(b.w.get(), Qt::Key_Space); // on "Modalitat", 100 ms before the highlight moves on
        b.rellotge.avanca(350);
        QTest::keyRelease(b.w.get(), Qt::Key_Space);
        QCOMPARE(b.t().rajoles().front().text, QString("Ritme i notes"));
        b.t().tanca();

        // Pressed as the idle rounds end: the board waits for the press, which chooses and plays nothing.
        b.t().obre();
        const long abans = b.notes();
        b.rellotge.avanca(500 * 3 * int(b.t().rajoles().size()) - 100);
        QTest::keyPress(b.w.get(), Qt::Key_Space); // on "Tornar a tocar"
        b.rellotge.avanca(350);
        QVERIFY(!b.t().obert());
        QTest::keyRelease(b.w.get(), Qt::Key_Space);
        b.rellotge.avanca(1000);
        QCOMPARE(b.notes(), abans);
    }

    void a_second_switch_moves_the_highlight_and_never_plays() {
        ajuts a = escombrat();
        a.tecla_seguent = Qt::Key_N;
        a.acceptacio = 100; // and the person's times hold for every press
        amb_tauler b(a, 3);
        b.m->tauler().obre();
        // The board says what it waits for, below its tiles.
        QVERIFY(b.t().indicacio().contains("N"));
        for (const QRectF& r : b.t().llocs()) QVERIFY(r.bottom() < b.t().height() - 1);
        b.rellotge.avanca(5000);
        QCOMPARE(b.t().ressaltada(), 0); // no scan of its own
        QTest::keyClick(b.w.get(), Qt::Key_N);
        QCOMPARE(b.t().ressaltada(), 0); // a brush shorter than the acceptance time
        QTest::keyPress(b.w.get(), Qt::Key_N);
        b.rellotge.avanca(150);
        QTest::keyRelease(b.w.get(), Qt::Key_N);
        QCOMPARE(b.t().ressaltada(), 1);
        b.t().tanca();
        const long abans = b.notes();
        QTest::keyPress(b.w.get(), Qt::Key_N);
        b.rellotge.avanca(150);
        QTest::keyRelease(b.w.get(), Qt::Key_N);
        QCOMPARE(b.notes(), abans);
    }

    void a_box_raised_by_a_choice_shows_on_the_board_and_the_next_press_closes_it() {
        amb_tauler b(escombrat(), 3);
        b.t().obre();
        b.espera("Modalitat");
        b.prem();
        b.deixa();
        b.espera("Cançó");
        b.prem();
        b.deixa();
        b.prem(); // the first song, whose file is not there
        b.deixa();
        QVERIFY(b.caixes.caixes.isEmpty());
        QVERIFY(b.t().obert() && !b.t().missatge().isEmpty());
        b.prem();
        b.deixa();
        QVERIFY(!b.t().obert());
    }

    void captions_are_said_where_there_is_a_voice_and_its_absence_once() {
        ajuts a = escombrat();
        a.parla = true;
        amb_tauler b(a, 3);
        b.t().obre();
        b.rellotge.avanca(500);
        QCOMPARE(b.parla.dits, QStringList({"Modalitat", "Instrument"}));
        b.t().tanca();
        b.parla.te_veu = false;
        b.t().obre();
        b.rellotge.avanca(1000);
        QVERIFY(b.caixes.avisos.isEmpty()); // a box would take the switch's key: a tile says it
        QVERIFY(b.t().missatge().startsWith("No hi ha veu"));
        b.prem();
        b.deixa();
        QVERIFY(b.t().obert() && b.t().missatge().isEmpty()); // the board it interrupted goes on
        b.espera("Velocitat");
        b.t().tanca();
        b.t().obre();
        QVERIFY(b.t().missatge().isEmpty());
    }

    void a_press_begun_before_a_box_showed_leaves_it_to_be_read() {
        ajuts a = escombrat();
        a.acceptacio = 300;
        amb_tauler b(a, 3);
        QTest::keyPress(b.w.get(), Qt::Key_Space);
        b.rellotge.avanca(100);
        b.caixes_del_tauler.avisa("El so s'ha perdut");
        b.rellotge.avanca(250);
        QTest::keyRelease(b.w.get(), Qt::Key_Space);
        QVERIFY(b.t().obert() && !b.t().missatge().isEmpty());
        b.rellotge.avanca(300);
        QTest::keyPress(b.w.get(), Qt::Key_Space); // a press of its own reads it
        b.rellotge.avanca(350);
        QTest::keyRelease(b.w.get(), Qt::Key_Space);
        QVERIFY(!b.t().obert());
    }

    // The press that waited when the box showed was a brush: the player's next press reads the box.
    void a_brush_before_a_box_takes_no_later_press() {
        ajuts a = escombrat();
        a.acceptacio = 300;
        a.tecla_seguent = Qt::Key_N;
        amb_tauler b(a, 3);
        const auto brush_under_a_box = [&] {
            QTest::keyPress(b.w.get(), Qt::Key_Space);
            b.rellotge.avanca(100);
            b.caixes_del_tauler.avisa("El so s'ha perdut");
            b.rellotge.avanca(50);
            QTest::keyRelease(b.w.get(), Qt::Key_Space);
            b.rellotge.avanca(250);
        };
        brush_under_a_box();
        QTest::keyPress(b.w.get(), Qt::Key_Space);
        b.rellotge.avanca(350);
        QTest::keyRelease(b.w.get(), Qt::Key_Space);
        b.rellotge.avanca(50);
        QVERIFY(!b.t().obert());
        // The times taken away while the box shows: the next press goes straight through, and reads it.
        brush_under_a_box();
        b.m->ajustos().pulsador().set_temps(0, 0);
        b.prem();
        b.deixa();
        QVERIFY(!b.t().obert());
    }

    void no_box_opens_while_the_switch_plays() {
        amb_tauler b(escombrat(), 3);
        b.caixes_del_tauler.MsgBox("Error MIDI");
        QVERIFY(b.caixes.caixes.isEmpty());
        QVERIFY(b.t().obert() && b.t().missatge() == "Error MIDI");
        b.caixes_del_tauler.avisa("El so s'ha perdut");
        QVERIFY(b.t().missatge().endsWith("El so s'ha perdut") && b.caixes.avisos.isEmpty());
        QCOMPARE(b.caixes.registrats, QStringList{"El so s'ha perdut"}); // the journal keeps it all the same
        b.prem();
        b.deixa();
        QVERIFY(!b.t().obert());
        b.w->mn_acces_Click(0); // a mouse closes its own boxes
        b.caixes_del_tauler.MsgBox("Error MIDI");
        QVERIFY(!b.t().obert() && b.caixes.caixes.size() == 1);
    }

    void captions_fit_their_tiles_in_every_language() {
        amb_tauler b(escombrat(), 3);
        b.w->pantalla->resize(1920, 1000);
        b.w->mn_instrument[3]->trigger(); // a group's mark is drawn too
        // The captions as drawn, marks and all, in their place inside the tile; then each group's.
        std::function<void()> mira = [&] {
            tauler& t = b.t();
            for (size_t i = 0; i < t.rajoles().size(); ++i) {
                const QFont lletra = t.lletra(i);
                QVERIFY(lletra.pixelSize() >= 1000 / 20);
                const QRectF lloc = t.lloc_del_text(i);
                const QRectF text = QFontMetricsF(lletra).boundingRect(lloc, Qt::AlignCenter | Qt::TextWordWrap, t.text(i));
                QVERIFY2(lloc.contains(text), qPrintable(t.text(i)));
            }
            for (size_t i = 0; i < t.rajoles().size(); ++i) {
                if (t.rajoles()[i].t != rajola::tipus::grup) continue;
                b.espera(t.rajoles()[i].text);
                b.prem();
                b.deixa();
                mira();
                b.espera(t.rajoles().back().text); // "Tornar"
                b.prem();
                b.deixa();
            }
        };
        for (int idioma = 0; idioma < 3; ++idioma) {
            b.w->mn_idioma[idioma]->trigger();
            b.t().obre();
            mira();
            b.t().tanca();
        }
    }

    void a_choice_of_a_menu_rebuilt_while_the_board_is_open_is_harmless() {
        amb_tauler b(escombrat(), 3);
        b.t().obre();
        b.espera("Persona");
        b.prem();
        b.deixa();
        b.w->mn_idioma[1]->trigger(); // the Persona menu is built again in Spanish
        b.prem();
        b.deixa();
        QVERIFY(!b.t().obert());
    }

    void groups_show_the_current_choice_and_the_current_speed() {
        amb_tauler b(escombrat(), 3);
        b.w->mn_instrument[3]->trigger();
        b.t().obre();
        const rajola& instruments = b.t().rajoles()[1];
        QVERIFY(instruments.marcada && instruments.fills[0].marcada && !instruments.fills[1].marcada);
        QVERIFY(instruments.fills[0].fills[2].marcada && !instruments.fills[0].fills[1].marcada);
        const rajola& velocitat = b.t().rajoles()[2];
        QVERIFY(velocitat.fills[1].marcada && !velocitat.fills[0].marcada); // "Normal"
        auto marques_de_velocitat = [&] {
            b.t().tanca();
            b.t().obre();
            QList<bool> m;
            for (const rajola& r : b.t().rajoles()[2].fills) m << r.marcada;
            return m;
        };
        b.w->mn_ritme[0]->trigger(); // slower
        QCOMPARE(marques_de_velocitat(), QList<bool>({true, false, false, false}));
        b.w->mn_ritme[2]->trigger();
        b.w->mn_ritme[2]->trigger(); // back to normal, then faster
        QCOMPARE(marques_de_velocitat(), QList<bool>({false, false, true, false}));
    }

    void a_person_chosen_on_the_board_keeps_the_way_back_to_it() {
        amb_tauler b(escombrat(3000), 3);
        tria_persona(b, "Cap persona");
        QVERIFY(!b.t().obert() && b.w->mn_acces.Checked(3));
        QCOMPARE(b.m->captura().ajuts.tauler_pulsador, 3000); // what "Desa" keeps
        b.prem();
        b.rellotge.avanca(3000);
        QVERIFY(b.t().obert());
        b.deixa();
    }

    // A switch person with no hold of their own would be shut out of the board: they take the
    // player's; one with their own keeps it.
    void a_switch_person_chosen_on_the_board_keeps_a_way_back_to_it() {
        for (auto [tauler_pulsador, esperat] : {std::pair{0, 3000}, std::pair{2000, 2000}}) {
            amb_tauler b(escombrat(3000), 3);
            QDir(b.dir.path()).mkpath("persones");
            b.escriu("persones/Pep.ini", "[persona]\nacces=3\ntauler_pulsador=" + QByteArray::number(tauler_pulsador) + "\n");
            for (int16_t i = 0; i < b.w->mn_idioma.size(); ++i) // the people are read as the menu fills, on a language chosen
                if (b.w->mn_idioma.Checked(i)) b.w->mn_idioma[i]->trigger();
            tria_persona(b, "Pep");
            QVERIFY(!b.t().obert() && b.w->mn_acces.Checked(3));
            QCOMPARE(b.m->captura().ajuts.tauler_pulsador, esperat);
        }
    }
};

QTEST_MAIN(test_tauler)
#include "test_tauler.moc"
