// The modality and hearing menus, row by row of their state table, asserted on
// the exact MIDI traffic, media commands and timer state.
#include "fakes/banc.h"

#include <QImage>
#include <QMenu>
#include <QtTest>

using namespace brisola;

namespace {

constexpr uint32_t bank0 = 0x0000B0;

struct instrument : banc {
    std::unique_ptr<finestra_main> w;
    instrument() {
        escriu("brisola.ini", "[canciones]\nnum=5\n1nombre=Tema\n1midi=tema.mid\n1fondo=fons.png\n1cursor=cursor.png\n"
                              "2nombre=Vent\n2midi=vent.mp3\n3nombre=Soroll\n3midi=soroll.mid\n"
                              "4nombre=Llarg\n4midi=llarg.midi\n5nombre=Pluja\n5midi=pluja.ogg\n"
                              "[ritmos]\nnum=2\n1nombre=Rock\n1acordes=11Ma011Ma5\n1bateria=18361842\n1compas=4/4\n"
                              "1tiempos=4\n2nombre=Lliure\n2acordes=14Ma0\n2bateria=1436\n2tiempos=\n"
                              "[instrumentos]\nnum=2\n1nom=Piano\n1codi=0\n2nom=Flauta\n2codi=73\n");
        QImage petita(10, 10, QImage::Format_RGB32);
        petita.fill(Qt::green);
        petita.save(cami("fons.png"));
        petita.save(cami("cursor.png"));
        media.fitxers = {cami("tema.mid"), cami("vent.mp3"), cami("soroll.mid"), cami("llarg.midi"), cami("pluja.ogg")};
        media.respostes["Status Mid1 Tempo"] = "112";
        w = obre();
        neteja();
    }
    void neteja() {
        midi.enviats.clear();
        media.ordres.clear();
        midi.oberts.clear();
    }
    void obre_submenu(int16_t fmus) { emit w->fmus[fmus]->menu()->aboutToShow(); }
    bool patrons_en_marxa() const { return w->t_acords->Enabled() && w->t_ritmes->Enabled(); }
};

} // namespace

class test_seleccio : public QObject {
    Q_OBJECT

private slots:
    void speed_halves_to_even_doubles_and_resets() {
        instrument i;
        i.w->fmus[2]->trigger();
        QList<int> tempos;
        for (int n = 0; n < 10; ++n) {
            i.w->mn_ritme[2]->trigger();
            tempos << i.w->estat.tempo;
        }
        QCOMPARE(tempos, QList<int>({200, 100, 50, 25, 12, 6, 3, 2, 1, 0}));
        QCOMPARE(i.w->t_acords->Interval(), 0);
        int passos = 0; // a chord timer at zero stays silent
        i.w->t_acords->on_tick([&] { ++passos; });
        i.rellotge.avanca(5000);
        QCOMPARE(passos, 0);
        i.w->mn_ritme[1]->trigger();
        QCOMPARE(i.w->estat.tempo, 400);
        tempos.clear();
        for (int index : {0, 2, 2, 2, 2, 0, 0, 0}) {
            i.w->mn_ritme[index]->trigger();
            tempos << i.w->estat.tempo;
        }
        QCOMPARE(tempos, QList<int>({800, 400, 200, 100, 50, 100, 200, 400}));
        for (int n = 0; n < 7; ++n) i.w->mn_ritme[0]->trigger();
        QCOMPARE(i.w->estat.tempo, 8191); // tempo × 4 must still fit the drum timer
        QVERIFY(!i.w->mn_ritme.Checked(0) && !i.w->mn_ritme.Checked(2));
    }

    void the_speed_sets_the_drums_pace_from_their_next_step() {
        instrument i;
        i.w->rmus[1]->trigger();
        std::vector<long> cops;
        i.w->t_ritmes->on_tick([&] {
            cops.push_back(i.rellotge.ara());
            i.w->t_ritmes_Timer();
        });
        i.rellotge.avanca(3200);
        i.w->mn_ritme[2]->trigger();
        i.rellotge.avanca(1000);
        const std::vector<long> esperat{1600, 1800, 2000, 2200, 2400, 2600, 2800, 3000, 3200,
                                        3400, 3500, 3600, 3700, 3800, 3900, 4000, 4100, 4200};
        QCOMPARE(cops, esperat);
    }

    void drums_and_rhythms_start_their_own_patterns() {
        instrument i;
        i.w->estat.velocitat = 90;
        i.w->fmus[2]->trigger(); // drums: a kit pattern on both timers
        auto& e = i.w->estat;
        QCOMPARE(std::make_tuple(e.patro_acords, e.patro_bateria, e.compas, e.temps_compas),
                 std::make_tuple(QString("14BA0"), QString("1400"), QString("4/4"), 4));
        QCOMPARE(std::make_pair(i.w->t_acords->Interval(), i.w->t_ritmes->Interval()), std::make_pair(400, 1600));
        QVERIFY(i.patrons_en_marxa() && e.ritme_actiu);
        QCOMPARE(e.acord_notes, QString("3933382E292C26273B3D464751")); // one chord step ran at once
        QCOMPARE(marques(i.w->fmus), QList<bool>({false, false, true, false, false}));
        i.obre_submenu(3);
        i.w->rmus[1]->trigger();
        QCOMPARE(e.ritme_actual, 1);
        QVERIFY(e.ritme_actiu && i.patrons_en_marxa());
        QCOMPARE(e.patro_acords, QString("11Ma511Ma0")); // the first step already played
        QCOMPARE(e.patro_bateria, QString("18361842"));
        QCOMPARE(e.temps_compas, 4);
        QCOMPARE(marques(i.w->fmus), QList<bool>({false, false, false, true, false}));
        QCOMPARE(marques(i.w->rmus), QList<bool>({false, true, false}));
        i.w->rmus[2]->trigger();
        QCOMPARE(e.temps_compas, 0); // no "tiempos"
        QCOMPARE(marques(i.w->rmus), QList<bool>({false, false, true}));
    }

    void a_song_starts_with_its_pictures_in_movement_mode() {
        instrument i;
        i.obre_submenu(4);
        i.rellotge.avanca(3600 * 1000 + 400);
        i.w->CMUS[1]->trigger();
        auto& e = i.w->estat;
        QString sp = i.media.ShortPath(i.cami("tema.mid"));
        QCOMPARE(i.media.ordres, QStringList({"Stop Mid1", "Close Mid1", "open " + sp + " Type Sequencer Alias Mid1 ",
                                              "status Mid1 length", "play Mid1", "Status Mid1 Tempo"}));
        QCOMPARE(e.canco_actual, 1);
        QCOMPARE(e.canco_tempo, 112);
        QVERIFY(i.w->mn_pos.Checked(1) && i.w->CMUS.Checked(1));
        QCOMPARE(e.fons_fitxer, i.cami("fons.png"));
        QCOMPARE(i.w->cursor_actiu, static_cast<control_mobil*>(i.w->u_curs_img));
        QCOMPARE(i.w->cursor_actiu->size(), QSize(50, 50)); // a small cursor grows to be seen
        QCOMPARE(e.darrera_comprovacio, 3600);
        QVERIFY(i.midi.enviats.empty() && i.w->estat.hmidi_out == 0);
    }

    void a_media_song_waits_for_the_switch() {
        instrument i;
        i.w->mn_acces_Click(3);
        i.obre_submenu(4);
        i.w->CMUS[2]->trigger();
        QString sp = i.media.ShortPath(i.cami("vent.mp3"));
        QCOMPARE(i.media.ordres, QStringList({"play " + sp, "pause " + sp}));
        QVERIFY(i.w->estat.hmidi_out != 0); // a media song leaves the instrument its output
    }

    void the_modalities_stop_what_the_others_started() {
        instrument i;
        i.obre_submenu(4);
        i.w->CMUS[1]->trigger();
        i.neteja();
        i.obre_submenu(4); // and closed again without a choice: the song stops even so
        QCOMPARE(i.media.ordres, QStringList({"Stop Mid1", "Close Mid1"}));
        QCOMPARE(i.midi.oberts, std::vector<int32_t>({MIDI_MAPPER}));
        QCOMPARE(i.w->estat.canco_actual, 0);
        QCOMPARE(i.w->estat.velocitat, 127);
        i.w->fmus[2]->trigger();
        i.obre_submenu(4); // opening: the drums go on, the modality is the song's
        QVERIFY(i.patrons_en_marxa() && !i.w->estat.ritme_actiu);
        i.w->CMUS[1]->trigger();
        i.neteja();
        i.w->fmus[1]->trigger();
        QVERIFY(!i.w->t_acords->Enabled() && !i.w->t_ritmes->Enabled());
        QCOMPARE(i.media.ordres, QStringList({"Stop Mid1", "Close Mid1"}));
        QCOMPARE(i.midi.oberts, std::vector<int32_t>({MIDI_MAPPER}));
        QCOMPARE(marques(i.w->fmus), QList<bool>({false, true, false, false, false}));
        QCOMPARE(i.w->estat.canco_actual, 0);
        QCOMPARE(i.w->estat.ritme_actual, 0);
    }

    void silence_with_and_without_a_song() {
        instrument i;
        i.w->fmus[2]->trigger();
        i.neteja();
        i.w->mn_inst[2]->trigger();
        std::vector<uint32_t> esperat;
        for (uint32_t canal = 0; canal < 16; ++canal) {
            esperat.push_back(0xB0 + canal + (120 << 8));
            esperat.push_back(0xB0 + canal + (123 << 8));
        }
        QCOMPARE(i.midi.enviats, esperat);
        QVERIFY(i.patrons_en_marxa()); // the drums play on
        i.obre_submenu(4);
        i.w->CMUS[1]->trigger();
        i.neteja();
        i.w->mn_instrument[0]->trigger();
        QCOMPARE(i.media.ordres, QStringList({"Stop Mid1", "Close Mid1"}));
        QVERIFY(i.midi.enviats.empty());
        QCOMPARE(i.midi.oberts, std::vector<int32_t>({MIDI_MAPPER}));
        QCOMPARE(i.w->estat.canco_actual, 0);
        i.obre_submenu(4);
        i.w->CMUS[2]->trigger();
        i.neteja();
        i.w->mn_instrument[0]->trigger(); // a recorded song is closed by its name
        QCOMPARE(i.media.ordres, QStringList({"close " + i.media.ShortPath(i.cami("vent.mp3")).leftJustified(256)}));
        QCOMPARE(i.midi.oberts, std::vector<int32_t>({MIDI_MAPPER}));
        QCOMPARE(i.w->estat.canco_actual, 0);
    }

    void a_song_that_cannot_play_leaves_the_instrument_playing() {
        instrument i; // songs 3 to 5: a file that is no song, a ".midi" and an ".ogg"
        QString sp_soroll = i.media.ShortPath(i.cami("soroll.mid"));
        i.media.refusades = {"open " + sp_soroll + " Type Sequencer Alias Mid1 "};
        i.obre_submenu(4);
        i.w->CMUS[3]->trigger();
        QCOMPARE(i.w->estat.canco_actual, 0);
        QCOMPARE(i.caixes.avisos.size(), 1);
        i.neteja();
        i.w->mn_inst[2]->trigger(); // "Fer silenci" silences the channels, on an open output
        QCOMPARE(i.midi.enviats.size(), size_t(32));
        QCOMPARE(i.caixes.avisos.size(), 1);
        for (int16_t canco : {4, 5}) { // nothing plays; silence drops the choice and gives the output back
            i.obre_submenu(4);
            i.neteja();
            i.w->CMUS[canco]->trigger();
            QVERIFY(i.media.ordres.isEmpty());
            i.w->mn_inst[2]->trigger();
            QCOMPARE(i.w->estat.canco_actual, 0);
            QVERIFY(i.w->estat.hmidi_out != 0);
        }
        QCOMPARE(i.media.ordres, QStringList({"close " + i.media.ShortPath(i.cami("pluja.ogg")).leftJustified(256)}));
        QCOMPARE(i.caixes.avisos.size(), 1);
    }

    void an_instrument_sends_its_bank_and_program() {
        instrument i;
        i.w->mn_instrument[2]->trigger();
        QCOMPARE(i.midi.enviats, std::vector<uint32_t>({bank0, 0x0049C0}));
        QVERIFY(!i.w->mn_instrument.Checked(2));
    }
};

QTEST_MAIN(test_seleccio)
#include "test_seleccio.moc"
