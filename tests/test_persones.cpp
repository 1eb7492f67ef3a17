// People: their names and files, and a setup kept and chosen again through the seed's own menu items.
#include "fakes/banc.h"
#include "persones/menu_persona.h"

#include <QDir>
#include <QMenu>
#include <QtTest>

#include <algorithm>

using namespace brisola;

namespace {

struct amb_persones : banc {
    std::unique_ptr<finestra_main> w;
    std::unique_ptr<menu_persona> m;
    QString resposta; // what the helper types when a name is asked for
    amb_persones() {
        escriu("brisola.ini", "[ritmos]\nnum=1\n1nombre=Rock\n1acordes=11Ma011Ma5\n1bateria=18361842\n1compas=4/4\n"
                              "1tiempos=4\n[instrumentos]\nnum=2\n1nom=Piano\n1codi=0\n2nom=Flauta\n2codi=73\n");
        reobre();
    }
    // The program started again on the same folder.
    void reobre(const QString& demanada = {}) {
        m.reset();
        w = obre();
        m = std::make_unique<menu_persona>(*w, [this](const QString&, const QString&) { return resposta; });
        m->inicia(demanada);
    }
    QString fitxer(const QString& nom) const { return m->carpeta() + "/" + nom + ".ini"; }
    QByteArray bytes(const QString& nom) const {
        QFile f(fitxer(nom));
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
    void nova(const QString& nom) {
        resposta = nom;
        m->persona_nova();
    }
};

} // namespace

class test_persones : public QObject {
    Q_OBJECT

private slots:
    void names_that_cannot_be_a_file_are_refused() {
        QCOMPARE(examina_nom("Núria Puig i Solà"), std::nullopt);
        QCOMPARE(examina_nom("   "), nom_refusat::buit);
        QCOMPARE(examina_nom(QString(65, 'a')), nom_refusat::massa_llarg);
        for (const QString& nom : {QString("a/b"), QString(".."), QString("a\\b"), QString("x") + QChar(7)})
            QCOMPARE(examina_nom(nom), nom_refusat::caracters);
        amb_persones p;
        p.nova("Anna");
        p.nova("ANNA"); // the same person whatever the case
        p.nova("../fora");
        QCOMPARE(p.m->persones(), QStringList({"Anna"}));
        QCOMPARE(p.caixes.avisos.size(), 2);
        QVERIFY(p.caixes.avisos[0].contains("ANNA") && p.caixes.avisos[1].contains("../fora"));
        QVERIFY(!QFile::exists(p.dir.path() + "/fora.ini"));
    }

    void a_setup_is_kept_and_chosen_again_after_a_restart() {
        amb_persones p;
        p.w->mn_acces_Click(0); // the mouse ticks "Invertir X" on its way
        p.w->fmus[2]->trigger(); // Bateria
        p.w->mn_ritme[2]->trigger();
        p.w->mn_ritme[2]->trigger();
        p.w->mn_instrument[2]->trigger();
        p.w->mn_carat[1]->trigger();
        p.w->mn_carat[2]->trigger();
        p.w->mn_inv[0]->trigger(); // and the person plays with it off
        p.w->mn_pos[1]->trigger();
        const QSize cursor = p.w->cursor_actiu->size();
        p.nova("Núria");
        p.reobre(); // the last person starts with the next start
        QCOMPARE(p.m->actual(), QString("Núria"));
        QCOMPARE(marques(p.w->mn_acces), QList<bool>({true, false, false, false}));
        QCOMPARE(marques(p.w->fmus), QList<bool>({false, false, true, false, false}));
        QCOMPARE(p.w->estat.tempo, 100);
        QCOMPARE(p.midi.enviats.back(), uint32_t(0x0049C0)); // the flute
        QCOMPARE(p.w->cursor_actiu->size(), cursor);
        QCOMPARE(marques(p.w->mn_inv), QList<bool>({false, false}));
        QVERIFY(p.w->mn_pos.Checked(1));

        p.w->mn_acces_Click(3);
        p.w->fmus[0]->trigger();
        p.m->cap_persona(); // back to the seed's start: nothing is chosen at the next one
        p.reobre();
        QCOMPARE(p.m->actual(), QString());
        QVERIFY(!p.w->mn_acces.Checked(0) && p.w->fmus.Checked(0));
    }

    void a_rhythm_is_chosen_through_its_submenu() {
        amb_persones p;
        emit p.w->fmus[3]->menu()->aboutToShow();
        p.w->rmus[1]->trigger();
        p.nova("Pau");
        p.w->fmus[1]->trigger();
        p.m->tria("Pau");
        QVERIFY(p.w->fmus.Checked(3) && p.w->rmus.Checked(1));
        QCOMPARE(p.w->estat.ritme_actual, 1);
        QVERIFY(p.w->t_acords->Enabled() && p.w->t_ritmes->Enabled());
    }

    void a_file_that_cannot_be_read_starts_with_the_defaults_and_is_kept() {
        amb_persones p;
        QDir().mkpath(p.m->carpeta());
        const QByteArray brossa("\xff\xfe\x00\x01 no es text", 16);
        QFile f(p.fitxer("Jo %2"));
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(brossa);
        f.close();
        QDir().mkpath(p.fitxer("Carpeta")); // a folder where the file should be
        p.w->fmus[2]->trigger();
        p.m->tria("Jo %2");
        QVERIFY(p.w->fmus.Checked(0)); // the defaults
        QCOMPARE(p.bytes("Jo %2"), brossa); // never overwritten unless saved on purpose
        QCOMPARE(p.caixes.avisos.size(), 1);
        QVERIFY(p.caixes.avisos[0].contains("de Jo %2 (")); // the name as it is, with the file after it

        QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write("[persona]\nmodalitat=9\nvelocitat=-40\n");
        f.close();
        auto llegida = llegeix_persona(p.fitxer("Jo %2"), "Jo %2");
        QVERIFY(llegida.retallada && !llegida.illegible);
        QCOMPARE(std::make_pair(llegida.p.modalitat, llegida.p.velocitat), std::make_pair(4, -10));
        QVERIFY(llegeix_persona(p.fitxer("Carpeta"), "Carpeta").illegible);
    }

    void the_switch_waits_for_a_held_press_and_ignores_a_quick_second_one() {
        amb_persones p;
        p.w->mn_acces_Click(3);
        persona lenta;
        lenta.acces = 3;
        lenta.acceptacio = 300;
        lenta.ignora = 500;
        p.m->aplica(lenta);
        // Whether a press held so long sounded: a note starts while it is held.
        auto sona = [&](int ms) {
            auto notes = [&] {
                return std::count_if(p.midi.enviats.begin(), p.midi.enviats.end(),
                                     [](uint32_t m) { return (m & 0xF0) == 0x90 && (m >> 16) > 0; });
            };
            auto abans = notes();
            QTest::mousePress(p.w->pantalla, Qt::LeftButton, {}, QPoint(20, 20));
            p.rellotge.avanca(ms);
            QTest::mouseRelease(p.w->pantalla, Qt::LeftButton, {}, QPoint(20, 20));
            return notes() > abans;
        };
        QVERIFY(!sona(200)); // a brush of the switch
        QVERIFY(sona(400));  // held: it plays from the moment it counts
        p.rellotge.avanca(200);
        QVERIFY(!sona(400)); // a tremor's second press
        p.rellotge.avanca(600);
        QVERIFY(sona(400));
        QCOMPARE(p.m->captura().acceptacio, 300);
        p.m->cap_persona(); // the seed's switch again: every press as it comes
        QVERIFY(sona(10));
    }

    void an_unknown_person_asked_for_starts_as_the_seed_and_says_so() {
        amb_persones p;
        p.reobre("Ningú");
        QCOMPARE(p.m->actual(), QString());
        QCOMPARE(p.caixes.avisos.size(), 1);
        QVERIFY(p.caixes.avisos[0].contains("Ningú"));
        QVERIFY(p.w->fmus.Checked(0));
    }
};

QTEST_MAIN(test_persones)
#include "test_persones.moc"
