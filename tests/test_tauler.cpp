// The board of choices: built from the menus, walked with one switch or by resting the pointer.
#include "fakes/banc.h"
#include "persones/menu_persona.h"
#include "platform/parla_sistema.h"
#include "tauler/caixes_tauler.h"
#include "tauler/tauler.h"

#include <QtTest>

#include <algorithm>

using namespace brisola;

namespace {

struct parla_fals : parla_sistema {
    bool te_veu = true;
    QStringList dits;
    bool disponible() override { return te_veu; }
    void diu(const QString& text, const QString&) override { dits << text; }
};

// The instrument with the catalogue we ship, a person's aids and their access method.
struct amb_tauler : banc {
    caixes_tauler caixes_del_tauler{caixes};
    parla_fals parla;
    serveis s_tauler{midi,      caixes_del_tauler, dialeg,     rellotge,   joystick, captura,
                     tintseer,  media,             llancador,  dir.path(), dir.path(), [] {}};
    std::unique_ptr<finestra_main> w;
    std::unique_ptr<menu_persona> m;

    explicit amb_tauler(const ajuts& a, int acces, const QByteArray& cataleg = {}) {
        QFile original(BRISOLA_SOURCE_DIR "/data/brisola.ini");
        original.open(QIODevice::ReadOnly);
        escriu("brisola.ini", cataleg.isEmpty() ? original.readAll() : cataleg);
        w = std::make_unique<finestra_main>(s_tauler);
        m = std::make_unique<menu_persona>(*w, menu_persona::demana{},
                                           serveis_persona{nullptr, nullptr, &parla, &caixes_del_tauler});
        persona p;
        p.acces = acces;
        p.invertir_x = acces == 0; // as the mouse has it
        p.ajuts = a;
        m->aplica(p);
    }
    tauler& t() { return m->tauler(); }
    // A tenth of a second between a release and the next press, as a hand takes at the least.
    void prem() {
        rellotge.avanca(100);
        QTest::keyPress(w.get(), Qt::Key_Space);
    }
    void deixa() { QTest::keyRelease(w.get(), Qt::Key_Space); }
    long notes() const {
        return std::count_if(midi.enviats.begin(), midi.enviats.end(),
                             [](uint32_t m) { return (m & 0xF0) == 0x90 && (m >> 16) > 0; });
    }
    // Waits, one scan step at a time, for the highlight to stand on the tile of that caption.
    void espera(const QString& text) {
        auto ressaltat = [&] { return t().obert() ? t().rajoles()[size_t(t().ressaltada())].text : QString(); };
        for (int i = 0; i < 40 && ressaltat() != text; ++i) rellotge.avanca(500);
        QCOMPARE(ressaltat(), text);
    }
    // The mouse's pointer at a fraction of the surface.
    void apunta(double x, double y) {
        w->estat.ratoli_x = int16_t(x * w->pantalla->ScaleWidth());
        w->estat.ratoli_y = int16_t(y * w->pantalla->ScaleHeight());
    }
    void apunta(const QRectF& r) { apunta(r.center().x() / t().width(), r.center().y() / t().height()); }
    QRectF lloc(const QString& text) const {
        auto& rs = m->tauler().rajoles();
        auto it = std::find_if(rs.begin(), rs.end(), [&](const rajola& r) { return r.text == text; });
        return m->tauler().llocs().at(size_t(it - rs.begin()));
    }
};

ajuts escombrat(int tauler_pulsador = 2000) {
    ajuts a;
    a.tauler_pulsador = tauler_pulsador;
    a.escombrat = 500;
    return a;
}

// Every choice's path from the first tiles: the presses and the scan steps it takes.
void camins(const std::vector<rajola>& rs, int premudes, int passos, std::vector<std::pair<int, int>>& fulles) {
    for (size_t i = 0; i < rs.size(); ++i) {
        if (rs[i].t == rajola::tipus::grup) camins(rs[i].fills, premudes + 1, passos + int(i), fulles);
        else if (rs[i].t != rajola::tipus::tornar) fulles.push_back({premudes + 1, passos + int(i) + 1});
    }
}

} // namespace

class test_tauler : public QObject {
    Q_OBJECT

private slots:
    void every_choice_of_the_catalogue_is_three_presses_and_thirty_seconds_away() {
        amb_tauler b(ajuts{}, 3);
        b.t().obre();
        std::vector<std::pair<int, int>> fulles;
        camins(b.t().rajoles(), 0, 0, fulles);
        std::vector<double> premudes, segons;
        for (auto [p, s] : fulles) premudes.push_back(p), segons.push_back(s * ajuts{}.escombrat / 1000.0);
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

        // Three rounds with nothing chosen: back to the groups, then closed, and play goes on.
        b.prem();
        b.rellotge.avanca(4000);
        b.deixa();
        b.espera("Instrument");
        b.prem();
        b.deixa();
        QVERIFY(!b.t().rajoles().empty() && b.t().rajoles().back().t == rajola::tipus::tornar);
        b.rellotge.avanca(500 * 3 * int(b.t().rajoles().size()));
        QCOMPARE(b.t().rajoles().front().text, QString("Modalitat"));
        b.rellotge.avanca(500 * 3 * int(b.t().rajoles().size()));
        QVERIFY(!b.t().obert());
    }

    void a_second_switch_moves_the_highlight_and_never_plays() {
        ajuts a = escombrat();
        a.tecla_seguent = Qt::Key_N;
        a.acceptacio = 100; // and the person's times hold for every press
        amb_tauler b(a, 3);
        b.m->tauler().obre();
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
        b.apunta((escala.center().x() + escala.width() * 0.45 + 8) / b.t().width(), escala.center().y() / b.t().height());
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
        QVERIFY(!b.t().obert());
        b.t().obre();
        QVERIFY(b.t().missatge().isEmpty());
    }

    void no_box_opens_while_the_switch_plays() {
        amb_tauler b(escombrat(), 3);
        b.caixes_del_tauler.MsgBox("Error MIDI");
        QVERIFY(b.caixes.caixes.isEmpty());
        QVERIFY(b.t().obert() && b.t().missatge() == "Error MIDI");
        b.prem();
        b.deixa();
        QVERIFY(!b.t().obert());
        b.w->mn_acces_Click(0); // a mouse closes its own boxes
        b.caixes_del_tauler.MsgBox("Error MIDI");
        QVERIFY(!b.t().obert() && b.caixes.caixes.size() == 1);
    }
};

QTEST_MAIN(test_tauler)
#include "test_tauler.moc"
