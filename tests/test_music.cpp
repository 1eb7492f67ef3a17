// The dispatcher MUS, the surface with mouse and switch, and the access menu,
// asserted on the exact MIDI traffic, media commands and timer state.
#include "fakes/banc.h"

#include <QGroupBox>
#include <QLabel>
#include <QMenu>
#include <QtTest>

using namespace brisola;

namespace {

constexpr uint32_t sound_off = 0x0078B0;
uint32_t nota(int n, int velocitat = 127) { return 0x90 | uint32_t(n) << 8 | uint32_t(velocitat) << 16; }

const char* const bateria_BA = "3933382E292C26273B3D464751";
const char* const acord_Ma = "3C404347484C4F54585B5F60";

struct instrument : banc {
    std::unique_ptr<finestra_main> w = obre();
    instrument() { midi.enviats.clear(); }
    void modalitat(int16_t m) {
        for (int16_t i = 0; i < w->fmus.size(); ++i) w->fmus.set_Checked(i, i == m);
    }
    int32_t mus(int16_t y, int16_t x, int32_t interval = 10) {
        midi.enviats.clear();
        return w->MUS(y, x, interval);
    }
    // A song chosen and ticked, in movement mode, with the cursor standing at 320/240.
    QString tria_canco(const QString& fitxer) {
        mus(240, 320);
        w->estat.cancons = {{"1"}, {"", "Tema", fitxer}};
        w->estat.canco_actual = 1;
        media.fitxers = {cami(fitxer)};
        w->CMUS.afegeix(w->fmus[4]->menu(), "Tema");
        w->CMUS.set_Checked(1, true);
        w->mn_pos_Click(1);
        return media.ShortPath(cami(fitxer));
    }
    QString nota_del_titol() const { return w->windowTitle().split(' ', Qt::SkipEmptyParts).value(1); }
};

} // namespace

class test_music : public QObject {
    Q_OBJECT

private slots:
    void each_modality_maps_the_pointer() {
        instrument i;
        auto toca = [&](int16_t y, int16_t x, int32_t interval = 10) {
            int32_t resposta = i.mus(y, x, interval);
            return std::make_pair(resposta, i.midi.enviats.empty() ? 0u : i.midi.enviats.back());
        };
        using cas = std::tuple<int16_t, int16_t, int32_t, uint32_t>;
        // Ritme i notes: pitch by height, interval by column, clamped to 10 even when the rounding overflows.
        for (auto [y, x, interval, missatge] : {cas{240, 320, 200, nota(60)}, {0, 5, 10, nota(108)}, {480, 320, 200, nota(12)}})
            QCOMPARE(toca(y, x), std::make_pair(interval, missatge));
        QCOMPARE(i.midi.enviats, std::vector<uint32_t>({sound_off, nota(12)}));
        QCOMPARE(i.w->Label6->text(), QString(" 200"));
        i.w->estat.tempo = 2000;
        i.w->estat.velocitat = 80;
        QCOMPARE(toca(240, 640), std::make_pair(1000, nota(60, 80)));
        QCOMPARE(i.w->estat.interval_anterior, 1000.0f);
        i.w->estat.tempo = 32767;
        QCOMPARE(toca(240, 32767).first, 10);
        i.w->estat.tempo = 400;

        // Escala i temps: the column's scale note, the row's duration; off the frame, the nearest edge row.
        i.modalitat(1);
        i.w->estat.velocitat = 127;
        QCOMPARE(toca(100, 20), std::make_pair(500, nota(95)));
        QCOMPARE(i.w->windowTitle(), QString(" 0 95 500 0   c 0"));
        QCOMPARE(toca(100, 640).second, nota(67));
        for (auto [y, durada] : {std::pair<int16_t, int>{-50, 500}, {130, 250}, {250, 125}, {479, 62}, {480, 62}, {600, 62}})
            QCOMPARE(toca(y, 320), std::make_pair(durada, nota(81)));
        i.w->mn_inv.set_Checked(0, true); // the music mirrors: x 20 plays column 15
        QCOMPARE(toca(100, 20).second, nota(69));
        i.w->mn_inv.set_Checked(0, false);

        // Bateria: the pattern from the drum list, the drum timer's step from the row; no note of its own.
        i.modalitat(2);
        i.w->estat.acord_notes = bateria_BA;
        i.w->estat.acord_base = "0";
        QCOMPARE(toca(0, 0, 33), std::make_pair(50, sound_off));
        QCOMPARE(i.w->estat.patro_bateria, QString("1881"));
        QCOMPARE(i.w->windowTitle(), QString(" 13 0 8 0   c 0"));
        QCOMPARE(i.w->estat.interval_anterior, 33.0f);
        QCOMPARE(toca(479, 640).first, 400);
        QCOMPARE(i.w->estat.patro_bateria, QString("1157"));
        QCOMPARE(toca(600, 640).first, 400);
        QCOMPARE(toca(-600, 640).first, 50);

        // Ritmes: a tone of the running chord, transposed to its root.
        i.modalitat(3);
        i.w->estat.ritme_actual = 1;
        i.w->estat.acord_notes = acord_Ma;
        i.w->estat.acord_base = "5";
        QCOMPARE(toca(130, 640), std::make_pair(100, nota(65)));
        QCOMPARE(toca(0, 0).second, nota(0x60 + 5));
        i.w->estat.acord_base = ""; // the note step fails: the note keeps the vertical position
        QCOMPARE(toca(100, 0).second, nota(100));

        // The song modality with no song: no branch applies, and a note outside MIDI sends only silence.
        i.modalitat(4);
        for (int16_t y : {200, -5}) {
            toca(y, 100);
            QCOMPARE(i.midi.enviats, std::vector<uint32_t>({sound_off}));
        }
    }

    void colour_and_cursor_follow_the_pointer() {
        instrument i;
        i.mus(240, 320);
        QCOMPARE(i.w->pantalla->BackColor(), QColor(120, 128, 180));
        i.mus(240, 192); // green 76.5: halves go to the even neighbour
        QCOMPARE(i.w->pantalla->BackColor(), QColor(120, 76, 180));
        float w = i.w->pantalla->ScaleWidth(), h = i.w->pantalla->ScaleHeight();
        i.mus(120, 160);
        QCOMPARE(i.w->cursor_actiu->Left(), w * 480 / 640);
        QCOMPARE(i.w->cursor_actiu->Top(), h * 120 / 480);
        i.w->mn_inv.set_Checked(0, true);
        i.w->mn_inv.set_Checked(1, true);
        i.mus(120, 160);
        QCOMPARE(i.w->cursor_actiu->Left(), w * 160 / 640);
        QCOMPARE(i.w->cursor_actiu->Top(), h * 360 / 480);
        QCOMPARE(i.nota_del_titol(), QString("36")); // ey = 480 - 120
        i.w->estat.fons_fitxer = "fons.png";
        QColor abans = i.w->pantalla->BackColor();
        i.mus(0, 0);
        QCOMPARE(i.w->pantalla->BackColor(), abans);
    }

    void movement_mode_plays_only_when_the_pointer_moves() {
        instrument i;
        i.w->mn_pos_Click(1);
        QCOMPARE(i.mus(240, 320, 10), 10); // first call: no speed yet
        QVERIFY(i.midi.enviats.empty());
        QCOMPARE(i.w->windowTitle(), QString("Brisola"));
        i.w->mn_pos_Click(0);
        i.mus(240, 320); // draws the cursor there
        i.w->mn_pos_Click(1);
        QCOMPARE(i.mus(240, 320, 77), 77);
        QVERIFY(i.midi.enviats.empty());
        i.mus(250, 320, 77);
        QCOMPARE(i.midi.enviats, std::vector<uint32_t>({sound_off, nota(58)}));
        QVERIFY(i.w->windowTitle().startsWith(" 320 58 0 0"));
        i.w->estat.interval_anterior = 1;
        i.mus(250, 32767, 1); // a speed of some 32000 units per ms shows its first four characters
        QCOMPARE(i.w->windowTitle(), QString(" 32767 58 0 324 c 0"));
    }

    void movement_mode_holds_a_still_song() {
        instrument i;
        i.tria_canco("tema.mid");
        auto& e = i.w->estat;
        e.canco_tempo = 120;
        e.canco_llargada = 5000;
        i.media.respostes["Status Mid1 Tempo"] = "120";
        i.media.respostes["status Mid1 position"] = "1200";
        i.rellotge.avanca(5000);
        i.mus(240, 320);
        i.mus(240, 320); // the check runs at most once a second
        i.media.respostes["Status Mid1 Tempo"] = "1";
        i.rellotge.avanca(1500);
        i.mus(240, 320); // still, and already paused
        i.rellotge.avanca(1500);
        i.mus(100, 320);
        QCOMPARE(i.media.ordres, QStringList({"Status Mid1 Tempo", "Set Mid1 Tempo 1", "status Mid1 position",
                                              "status Mid1 position", "Status Mid1 Tempo", "status Mid1 position",
                                              "Status Mid1 Tempo", "Set Mid1 Tempo 120", "status Mid1 position"}));
        QVERIFY(i.midi.enviats.empty()); // a song plays: no MIDI of the instrument's own
        QVERIFY(i.w->CMUS.Checked(1));
        i.media.respostes["status Mid1 position"] = "5000";
        i.rellotge.avanca(1500);
        i.mus(100, 320);
        QVERIFY(!i.w->CMUS.Checked(1)); // the end of the song unticks it
    }

    void movement_mode_holds_a_still_media_song_by_its_mode() {
        instrument i;
        QString sp = i.tria_canco("tema.mp3");
        i.media.respostes["status " + sp + " mode"] = "paused";
        i.rellotge.avanca(5000);
        i.mus(240, 320); // still and paused: nothing to do
        i.media.respostes["status " + sp + " mode"] = "1.00009"; // the 7-character buffer keeps "1.0000"
        i.rellotge.avanca(1500);
        i.mus(100, 320);
        QCOMPARE(i.media.ordres, QStringList({"status " + sp + " mode", "status Mid1 position", "status " + sp + " mode",
                                              "resume " + sp, "status Mid1 position"}));
        i.media.respostes["status " + sp + " mode"] = "playing";
        i.rellotge.avanca(1500);
        i.mus(200, 320);
        QVERIFY(i.w->CMUS.Checked(1)); // no Mid1 answers its position: a length of 0 is no end
    }

    void bad_song_replies_never_stop_the_dispatcher() {
        instrument i;
        i.tria_canco("tema.mid");
        i.media.respostes["Status Mid1 Tempo"] = "1E999";
        i.media.respostes["status Mid1 position"] = "&H123456789";
        i.rellotge.avanca(5000);
        QCOMPARE(i.mus(100, 100, 33), 62); // every step after the replies still ran
        QVERIFY(i.w->windowTitle().startsWith(" 100 88 0 "));
        QCOMPARE(i.w->pantalla->BackColor(), QColor(176, 40, 208));
    }

    void the_switch_plays_while_held_by_key_or_button() {
        instrument i;
        i.w->mn_acces_Click(3);
        QVERIFY(!i.w->T_mouse->Enabled());
        QCOMPARE(i.w->T_mouse->Interval(), 1000);
        i.w->pantalla_MouseMove(0, 0, 50, 50); // moving leaves the switch's point alone
        QVERIFY(i.w->estat.ratoli_x == 0 && i.w->estat.ratoli_y == 0);
        QTest::keyPress(i.w.get(), Qt::Key_Space);
        QCOMPARE(i.midi.enviats, std::vector<uint32_t>({sound_off, nota(108)}));
        QVERIFY(i.w->T_mouse->Enabled());
        QTest::keyRelease(i.w.get(), Qt::Key_Space);
        QVERIFY(!i.w->T_mouse->Enabled() && !i.w->t_acords->Enabled() && !i.w->t_ritmes->Enabled());
        int16_t punt = i.w->estat.ratoli_x; // the release clicked a new random point
        QTest::keyPress(i.w.get(), Qt::Key_Control); // a modifier alone is part of a shortcut
        QTest::keyRelease(i.w.get(), Qt::Key_A);      // and so is the key released after a shortcut
        i.rellotge.avanca(5000);
        QCOMPARE(i.midi.enviats.size(), size_t(2)); // released: the note rings, nothing more plays
        QCOMPARE(i.w->estat.ratoli_x, punt);
        i.w->pantalla_MouseDown(1, 0, 0, 0);
        i.w->pantalla_MouseUp(1, 0, 0, 0);
        QCOMPARE(i.midi.enviats.size(), size_t(4));
        for (int n = 0; n < 200; ++n) {
            i.w->pantalla_Click();
            QVERIFY(i.w->estat.ratoli_x >= 0 && i.w->estat.ratoli_x < 0.99 * i.w->pantalla->ScaleWidth());
            QVERIFY(i.w->estat.ratoli_y >= 0 && i.w->estat.ratoli_y < 0.99 * i.w->pantalla->ScaleHeight());
        }
    }

    void the_switch_holds_and_releases_a_song() {
        instrument i;
        auto& e = i.w->estat;
        e.cancons = {{"1"}, {"", "Tema", "tema.mid"}};
        e.canco_actual = 1;
        e.canco_tempo = 96;
        i.w->mn_acces_Click(3);
        e.ratoli_x = 40;
        e.ratoli_y = 192;
        i.w->pantalla_MouseDown(1, 0, 0, 0);
        QCOMPARE(i.w->cursor_actiu->Left(), 40.0f);
        QCOMPARE(i.w->pantalla->BackColor(), QColor(80, 76, 160)); // green 76.5 goes to the even 76
        i.w->pantalla_MouseUp(1, 0, 0, 0);
        QCOMPARE(i.media.ordres, QStringList({"Set Mid1 Tempo 1", "Set Mid1 Tempo 96", "Set Mid1 Tempo 1"}));
        QVERIFY(i.midi.enviats.empty());
    }

    void a_press_restarts_the_running_drums() {
        instrument i;
        i.w->mn_acces_Click(3);
        i.w->estat.ritme_actiu = -1;
        i.w->t_ritmes->set_Interval(400);
        i.rellotge.avanca(300);
        i.w->pantalla_MouseDown(1, 0, 0, 0);
        QVERIFY(i.w->t_ritmes->Enabled());
        QCOMPARE(i.w->t_ritmes->Interval(), 400);
        int ticks = 0;
        i.w->t_ritmes->on_tick([&] { ++ticks; });
        i.rellotge.avanca(399);
        QCOMPARE(ticks, 0);
        i.rellotge.avanca(1);
        QCOMPARE(ticks, 1);
    }

    void choosing_the_switch_leaves_the_drums_to_its_presses() {
        instrument i;
        i.w->mn_acces_Click(0);
        i.w->fmus[2]->trigger(); // Bateria, played with the mouse
        i.rellotge.avanca(3000);
        i.w->mn_acces_Click(3);
        i.midi.enviats.clear();
        auto tambors = [&] {
            return std::count_if(i.midi.enviats.begin(), i.midi.enviats.end(), [](uint32_t m) { return (m & 0xFF) == 0x99; });
        };
        i.rellotge.avanca(25000);
        QCOMPARE(tambors(), 0);
        QTest::keyPress(i.w.get(), Qt::Key_Space);
        i.rellotge.avanca(3000);
        QVERIFY(tambors() > 0);
    }

    void choosing_a_source_runs_only_its_timer() {
        instrument i;
        i.rellotge.avanca(1000);
        QVERIFY(i.midi.enviats.empty()); // no pointer ticks before a source is chosen
        i.w->estat.tempo = 0;
        i.w->estat.ritme_actiu = -1;
        i.w->mn_acces_Click(2);
        QCOMPARE(i.w->estat.tempo, 400);
        QVERIFY(i.w->t_ritmes->Enabled());
        QVERIFY(i.w->t_joy->Enabled());
        i.w->mn_inv.set_Checked(0, false);
        i.w->mn_acces_Click(0);
        QVERIFY(!i.w->t_joy->Enabled() && !i.w->t_tintseer->Enabled());
        QVERIFY(i.w->T_mouse->Enabled() && i.w->T_mouse->Interval() == 10 && i.w->mn_inv.Checked(0));
        QVERIFY(!i.w->pantalla->isHidden() && i.w->Frame2->isHidden() && !i.w->cursor_actiu->isHidden());
        QVERIFY(i.w->mn_acces.Checked(0) && !i.w->mn_acces.Checked(2));
        QVERIFY(i.media.ordres.isEmpty());
        i.w->mn_acces_Click(7); // no such source: the pointers stop and no source stays ticked
        QVERIFY(!i.w->T_mouse->Enabled() && !i.w->mn_acces.Checked(0));
    }

    void the_tracker_is_stopped_only_after_a_good_start() {
        for (int16_t resultat : {1, 0}) {
            instrument i;
            i.tintseer.resultat_inici = resultat;
            i.w->mn_acces_Click(1);
            i.w->mn_acces_Click(1);
            QStringList esperat = resultat == 1 ? QStringList({"Inicialitza", "Finalitza", "Inicialitza"})
                                                : QStringList({"Inicialitza", "Inicialitza"});
            QCOMPARE(i.tintseer.crides, esperat);
            QCOMPARE(i.w->t_tintseer->Interval(), 100);
            QVERIFY(i.w->t_tintseer->Enabled());
        }
    }

    void a_tick_during_an_error_box_waits_for_the_box() {
        instrument i;
        i.w->mn_acces_Click(0);
        i.w->midi_out.CloseMidiOut();
        QStringList titols;
        i.caixes.mentre_oberta = [&] {
            i.rellotge.avanca(50); // T_mouse falls due inside the box's event loop
            titols << i.w->windowTitle();
        };
        i.rellotge.avanca(10);
        QCOMPARE(titols.first(), QString("Brisola")); // the first MUS had not finished: nothing ran inside
        QVERIFY(i.caixes.caixes.size() >= 2);
    }
};

QTEST_MAIN(test_music)
#include "test_music.moc"
