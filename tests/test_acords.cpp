// The chord player and the drum sequencer on a fake clock: exact messages,
// exact times, and the malformed steps that must never stop them.
#include "fakes/banc.h"

#include <QtTest>

using namespace brisola;

namespace {

struct cop {
    long ms;
    uint32_t missatge;
    bool operator==(const cop&) const = default;
};

uint32_t tambor(int nota, int v) { return 0x99u | uint32_t(nota) << 8 | uint32_t(v) << 16; }

// Remembers when each drum message went out, whether a device took it or not.
struct sequenciador {
    banc b;
    std::vector<cop> cops;
    finestra_main w{b.s};
    sequenciador() {
        b.midi.en_enviar = [this](uint32_t m) { cops.push_back({b.rellotge.ara(), m}); };
    }
};

} // namespace

class test_acords : public QObject {
    Q_OBJECT

private slots:
    void a_chord_step_publishes_its_chord_and_length() {
        sequenciador q;
        auto& e = q.w.estat;
        e.temps_compas = 4;
        const QList<std::tuple<QString, QString, QString, int>> casos = {
            {"14Ma0", "3C404347484C4F54585B5F60", "0", 400},
            {"18me2", "3C3F4346484B4F54575B5E60", "2", 200},
            {"14D_5", " 2", "60", 400},
            {"1CBA0", "3933382E292C26273B3D464751", "0", 133},
            {"12M#3", "3C404447484B5054575C5F60", "3", 800},
        };
        for (const auto& [pas, notes, base, interval] : casos) {
            e.patro_acords = pas;
            q.w.t_acords_Timer();
            QCOMPARE(e.acord_notes, notes);
            QCOMPARE(e.acord_base, base);
            QCOMPARE(q.w.t_acords->Interval(), interval);
            QCOMPARE(e.patro_acords, pas); // one step: unchanged
        }
        QVERIFY(q.b.caixes.caixes.isEmpty());
    }

    void chord_codes_give_hex_lists_or_a_pitch_class() {
        sequenciador q;
        const QList<std::pair<QStringList, QString>> codis = {
            {{"BA"}, "3933382E292C26273B3D464751"},
            {{"Ma", "R0"}, "3C404347484C4F54585B5F60"},
            {{"M#"}, "3C404447484B5054575C5F60"}, // 71 and 70 as the other lists have there
            {{"Mb"}, "3C3F4246484B4E54575A5E60"},
            {{"R2", "r1"}, "3C404142434648"},
            {{"C_"}, " 0"}, {{"C#", "Db"}, " 1"}, {{"A#", "Bb"}, " A"}, {{"B_"}, " B"},
        };
        for (const auto& [noms, llista] : codis)
            for (const QString& codi : noms) QCOMPARE(q.w.ChordNotes(codi), llista);
        QVERIFY(q.b.caixes.caixes.isEmpty());
        QCOMPARE(q.w.ChordNotes("ma"), QString()); // case counts
    }

    void bars_accent_and_bring_in_the_drums() {
        sequenciador q;
        auto& e = q.w.estat;
        e.patro_acords = "14Ma014Ma514me214Ma7";
        e.temps_compas = 4;
        QList<int> velocitats;
        for (int pas = 0; pas < 5; ++pas) {
            QVERIFY(!q.w.t_ritmes->Enabled());
            q.w.t_acords_Timer();
            velocitats << e.velocitat;
        }
        QCOMPARE(velocitats, QList<int>({127, 80, 80, 80, 127}));
        QVERIFY(q.w.t_ritmes->Enabled());
        QCOMPARE(e.posicio_compas, 1.0); // reset on the fifth step, then advanced by its beat
        QCOMPARE(e.patro_acords, QString("14Ma514me214Ma714Ma0"));
    }

    void half_beats_round_to_even_on_the_bar_line() {
        sequenciador q;
        auto& e = q.w.estat;
        e.patro_acords = "18Ma0";
        e.temps_compas = 2;
        e.posicio_compas = 2.5; // rounds to 2, a bar line of a two-beat bar (away from zero it would be 3)
        q.w.t_acords_Timer();
        QCOMPARE(e.velocitat, 127);
        e.posicio_compas = 1.5; // rounds to 2 as well
        q.w.t_acords_Timer();
        QCOMPARE(e.velocitat, 127);
        e.temps_compas = 4;
        e.posicio_compas = 2.5; // 2: not a bar line of four beats
        q.w.t_acords_Timer();
        QCOMPARE(e.velocitat, 80);
        e.temps_compas = 0; // no beats per bar: one bar line only
        e.posicio_compas = 0;
        QList<int> velocitats;
        for (int pas = 0; pas < 6; ++pas) {
            q.w.t_acords_Timer();
            velocitats << e.velocitat;
        }
        QCOMPARE(velocitats, QList<int>({127, 80, 80, 80, 80, 80}));
    }

    void an_unlisted_code_shows_itself_each_time() {
        sequenciador q;
        auto& e = q.w.estat;
        e.temps_compas = 4;
        e.patro_acords = "14Xy314Ma0";
        q.w.t_acords_Timer();
        QCOMPARE(q.b.caixes.caixes, QStringList({"Xy"}));
        QCOMPARE(e.acord_notes, QString());
        QCOMPARE(e.acord_base, QString("3"));
        q.w.t_acords_Timer();
        q.w.t_acords_Timer();
        QCOMPARE(q.b.caixes.caixes, QStringList({"Xy", "Xy"}));
    }

    void drums_strike_and_wait_each_step() {
        sequenciador q;
        auto& e = q.w.estat;
        q.w.midi_out.OpenMidiOut(-1);
        e.tempo = 400;
        e.patro_bateria = "18421436";
        e.posicio_compas = 1;
        q.w.t_ritmes->set_Interval(1);
        q.w.t_ritmes->set_Enabled(true);
        q.b.rellotge.avanca(1 + 200 + 400);
        const std::vector<cop> esperat{{1, tambor(42, 100)}, {201, tambor(36, 100)}, {601, tambor(42, 100)}};
        QCOMPARE(q.cops, esperat);
        QCOMPARE(e.patro_bateria, QString("14361842"));
        e.posicio_compas = 0;
        e.patro_bateria = "1436";
        q.b.rellotge.avanca(200);
        QCOMPARE(q.cops.back(), (cop{801, tambor(36, 127)}));
        QCOMPARE(e.velocitat, 127);
        QCOMPARE(e.patro_bateria, QString("1436"));
        q.w.midi_out.CloseMidiOut(); // no device open: the drums keep time, silently and without a box
        q.cops.clear();
        q.b.midi.enviats.clear();
        q.b.rellotge.avanca(800);
        QCOMPARE(q.cops.size(), size_t(2));
        QVERIFY(q.b.midi.enviats.empty() && q.b.caixes.caixes.isEmpty());
        QCOMPARE(q.w.t_ritmes->Interval(), 400);
    }

    void malformed_steps_are_skipped_and_the_timers_go_on() {
        sequenciador q;
        auto& e = q.w.estat;
        q.w.midi_out.OpenMidiOut(-1);
        e.patro_acords = "10Ma014Ma0";
        e.patro_bateria = "14xx1436";
        q.w.t_acords->set_Interval(0);
        q.w.t_acords_Timer();
        QCOMPARE(q.w.t_acords->Interval(), 400);
        QCOMPARE(e.patro_acords, QString("14Ma010Ma0"));
        QCOMPARE(e.acord_notes, QString());
        q.w.t_ritmes->set_Interval(300);
        q.w.t_ritmes_Timer();
        QCOMPARE(q.w.t_ritmes->Interval(), 300);
        QVERIFY(q.cops.empty());
        q.w.t_ritmes_Timer();
        QCOMPARE(q.cops.size(), size_t(1));
        e.patro_acords = "";
        e.patro_bateria = "  ";
        q.w.t_acords_Timer();
        q.w.t_ritmes_Timer();
        QVERIFY(q.w.t_acords->Interval() > 0 && q.w.t_ritmes->Interval() > 0);
        QVERIFY(q.b.caixes.caixes.isEmpty());
    }

    void a_shipped_rhythm_plays_two_bars_in_time() {
        sequenciador q;
        auto& e = q.w.estat;
        q.w.midi_out.OpenMidiOut(-1);
        e.tempo = 400;
        e.patro_acords = "11Ma011Ma511Ma711Ma0"; // Rock: a bar of each chord
        e.patro_bateria = "18361842183818421836183618381842";
        e.temps_compas = 4;
        QStringList acords;
        q.w.t_acords->on_tick([&] {
            q.w.t_acords_Timer();
            acords << e.acord_base;
        });
        q.w.engega_patrons();
        acords << e.acord_base;
        q.b.rellotge.avanca(3 * 1600 - 1);
        // Chords change on every bar line; the drums join one bar after the start.
        QCOMPARE(acords, QStringList({"0", "5", "7"}));
        std::vector<cop> esperat;
        const int notes[] = {36, 42, 38, 42, 36, 36, 38, 42};
        for (int compas = 1; compas <= 2; ++compas)
            for (int i = 0; i < 8; ++i) esperat.push_back({compas * 1600 + i * 200, tambor(notes[i], 100)});
        QCOMPARE(q.cops, esperat);
        // Over it, the pointer plays the root of the chord of the moment (G in the third bar).
        e.ritme_actual = 1;
        q.w.fmus.set_Checked(0, false);
        int16_t y = 200, x = 640;
        int32_t interval = 10;
        q.w.MUS(y, x, interval);
        QCOMPARE(q.b.midi.enviats.back(), uint32_t(0x90 | 67 << 8 | e.velocitat << 16));
    }
};

QTEST_MAIN(test_acords)
#include "test_acords.moc"
