// People: their names and files, and a setup kept and chosen again through the seed's own menu items.
#include "fakes/banc.h"
#include "persones/etapa_punter.h"
#include "persones/finestra_ajustos.h"
#include "persones/menu_persona.h"
#include "persones/nivells.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QDoubleSpinBox>
#include <QKeySequenceEdit>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPaintEvent>
#include <QPushButton>
#include <QSlider>
#include <QSpinBox>
#include <QtTest>

#include <algorithm>
#include <cmath>

using namespace brisola;

namespace {

constexpr double pi = 3.141592653589793;

struct volum_fals : volum_sistema {
    std::vector<guanys_so> fets;
    void set_guanys(const guanys_so& g) override { fets.push_back(g); }
};

// The mouse moved over a widget to a fraction of its width and height, as the window system would tell it.
void mou(QWidget* w, double x, double y) {
    const QPointF lloc(x * w->width(), y * w->height());
    QMouseEvent e(QEvent::MouseMove, lloc, w->mapToGlobal(lloc), Qt::NoButton, Qt::NoButton, Qt::NoModifier);
    QCoreApplication::sendEvent(w, &e);
}

// What is left of a 5 Hz, 15-unit tremor on a still hand after the smoothing, in dB.
double tremolor_restant(nivell_suavitzat nivell) {
    suavitzador s;
    s.set_parametres(parametres_de(nivell));
    double maxim = 0;
    for (int i = 0; i < 600; ++i) {
        const double t = i * 0.01;
        const double x = s.filtra(320 + 15 * std::sin(2 * pi * 5 * t), 240, 0.01)[0];
        if (t > 3) maxim = std::max(maxim, std::fabs(x - 320));
    }
    return 20 * std::log10(maxim / 15);
}

// The clock a stage is given, which keeps the last timer it made to be looked at.
struct rellotge_vist : rellotge {
    explicit rellotge_vist(rellotge& real) : real(real) {}
    std::unique_ptr<temporitzador> crea() override {
        auto t = real.crea();
        creat = t.get();
        return t;
    }
    double segons() const override { return real.segons(); }
    void espera(int ms) override { real.espera(ms); }
    rellotge& real;
    temporitzador* creat = nullptr;
};

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
    void reobre(const std::optional<QString>& demanada = std::nullopt) {
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
        p.nova(QString(300, 'a'));
        QVERIFY(p.caixes.avisos.back().size() < 200); // the message still fits its box

        p.nova("Pau & Rita"); // "&" is part of the name, no access key
        QMenu* menu = p.w->menuBar()->actions().back()->menu();
        QCOMPARE(menu->actions()[1]->text(), QString("Pau && Rita"));
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

    void a_person_chosen_after_another_plays_and_saves_only_their_own_setup() {
        amb_persones p;
        const QSize cursor_inicial = p.w->cursor_actiu->size();
        p.nova("Berta"); // saved at a fresh start: no access, no instrument, no pictures
        const QByteArray berta = p.bytes("Berta");
        p.w->mn_acces_Click(0);
        p.w->mn_instrument[2]->trigger();
        p.w->cursor_carrega(p.cami("gat.png"));
        p.nova("Anna");
        auto programa = [&] {
            auto it = std::find_if(p.midi.enviats.rbegin(), p.midi.enviats.rend(),
                                   [](uint32_t m) { return (m & 0xFF) == 0xC0; });
            return it == p.midi.enviats.rend() ? -1 : int(*it >> 8);
        };
        control_mobil* imatge = p.w->cursor_actiu; // Anna's picture
        QMenu* menu = p.w->menuBar()->actions().back()->menu();
        auto marcades = [menu] {
            QStringList m;
            for (QAction* a : menu->actions())
                if (a->isChecked()) m << a->text().remove(QChar('&'));
            return m;
        };
        QCOMPARE(marcades(), QStringList{"Anna"});
        p.m->tria("Berta");
        QCOMPARE(marcades(), QStringList{"Berta"});
        QCOMPARE(marques(p.w->mn_acces), QList<bool>({false, false, false, false}));
        QVERIFY(imatge != p.w->cursor_actiu && imatge->isHidden()); // one pointer shows, not two
        QVERIFY(!p.w->T_mouse->Enabled());
        QCOMPARE(programa(), 0);
        QCOMPARE(p.w->cursor_actiu, static_cast<control_mobil*>(p.w->u_curs_shape));
        p.m->desa();
        QCOMPARE(p.bytes("Berta"), berta);

        p.m->tria("Anna");
        QCOMPARE(programa(), 73);
        p.m->cap_persona(); // a fresh start's instrument
        QCOMPARE(marcades(), QStringList{"Cap persona"});
        QCOMPARE(programa(), 0);
        QCOMPARE(p.w->cursor_actiu, static_cast<control_mobil*>(p.w->u_curs_shape));
        QCOMPARE(p.w->cursor_actiu->size(), cursor_inicial);
        QCOMPARE(marques(p.w->mn_acces), QList<bool>({false, false, false, false}));
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
        QVERIFY(!llegida.fora_de_marge.isEmpty() && !llegida.illegible);
        QCOMPARE(std::make_pair(llegida.p.modalitat, llegida.p.velocitat), std::make_pair(4, -10));
        QVERIFY(llegeix_persona(p.fitxer("Carpeta"), "Carpeta").illegible);
    }

    void the_reach_is_the_middle_of_the_places_reached_spread_over_the_surface() {
        std::vector<std::array<double, 2>> llocs;
        for (int i = 0; i < 500; ++i) llocs.push_back({0.2 + 0.4 * i / 499.0, 0.3 + 0.6 * ((i * 7) % 500) / 499.0});
        for (int i = 0; i < 5; ++i) llocs.push_back({1.0, 0.0}); // a slip: 1 % of the places
        auto caixa = calcula_abast(llocs);
        QVERIFY(caixa);
        QVERIFY(std::fabs(caixa->x0 - 0.208) < 0.003 && std::fabs(caixa->x1 - 0.596) < 0.003);
        QVERIFY(std::fabs(caixa->y0 - 0.306) < 0.003 && std::fabs(caixa->y1 - 0.888) < 0.003);
        const caixa_abast c{0.25, 0.5, 0.75, 1.0};
        QCOMPARE(aplica_abast(c, 0.5, 0.75), (std::array<double, 2>{0.5, 0.5}));
        QCOMPARE(aplica_abast(c, 0.1, 0.2), (std::array<double, 2>{0.0, 0.0})); // outside: at its edge
        QCOMPARE(aplica_abast(caixa_abast{}, 1.2, -0.1), (std::array<double, 2>{1.2, -0.1})); // whole: as it came
        QVERIFY(!calcula_abast({{0.5, 0.5}, {0.51, 0.9}})); // a person who hardly moved sideways
        // Few places: each percentile lies between its two neighbours, in proportion.
        const auto pocs = calcula_abast({{0.0, 0.0}, {0.1, 0.5}, {1.0, 1.0}});
        QVERIFY(pocs && std::fabs(pocs->x0 - 0.004) < 1e-9 && std::fabs(pocs->x1 - 0.964) < 1e-9);

        // Through the window: the mouse within the reach plays the whole surface.
        amb_persones p;
        etapa_punter punter(p.rellotge, p.joystick, p.tintseer);
        punter.enganxa(*p.w);
        p.w->mn_acces_Click(0);
        punter.set_abast(c);
        auto on_es = [&](double x, double y) {
            mou(p.w->pantalla, x, y);
            return std::array<double, 2>{p.w->estat.ratoli_x / double(p.w->pantalla->ScaleWidth()),
                                         p.w->estat.ratoli_y / double(p.w->pantalla->ScaleHeight())};
        };
        auto a = on_es(0.75, 0.75);
        QVERIFY(std::fabs(a[0] - 1) < 0.01 && std::fabs(a[1] - 0.5) < 0.01);
        a = on_es(0.05, 0.05);
        QVERIFY(a[0] < 0.01 && a[1] < 0.01);
        punter.set_abast({});
        a = on_es(0.25, 0.5);
        QVERIFY(std::fabs(a[0] - 0.25) < 0.01 && std::fabs(a[1] - 0.5) < 0.01);

        // The joystick: its range within the reach.
        p.w->mn_acces_Click(2);
        punter.set_abast({0.0, 0.0, 0.5, 0.5});
        p.joystick.presents = {0};
        p.joystick.lectura.wXpos = 16384;
        p.joystick.lectura.wYpos = 65535;
        JOYINFO l;
        QCOMPARE(punter.joystick().joyGetPos(0, l), uint32_t(JOYERR_NOERROR));
        QVERIFY(std::abs(int(l.wXpos) - 32768) < 4 && l.wYpos == 65535);
    }

    void the_reach_is_measured_in_ten_seconds_from_the_settings_window() {
        amb_persones p;
        etapa_punter punter(p.rellotge, p.joystick, p.tintseer);
        punter.enganxa(*p.w);
        p.m.reset();
        p.m = std::make_unique<menu_persona>(*p.w, menu_persona::demana{}, serveis_persona{&punter});
        p.w->mn_acces_Click(0);
        finestra_ajustos& f = p.m->obre_ajustos();
        f.mesura_abast();
        // The hand sweeps the left half, top to bottom, for nine seconds…
        for (int ms = 0; ms < 9000; ms += 20) {
            mou(p.w->pantalla, 0.5 * (ms % 1000) / 1000.0, ms / 9000.0);
            p.rellotge.avanca(20);
        }
        QVERIFY(f.mesurant());
        p.rellotge.avanca(1000); // …and rests
        QVERIFY(!f.mesurant());
        const ajuts a = p.m->captura().ajuts;
        QVERIFY(a.abast_x0 < 20 && std::abs(a.abast_x1 - 490) < 15 && a.abast_y0 < 30 && a.abast_y1 > 960);
        QVERIFY(!punter.abast().sencera());

        f.mesura_abast(); // a person who does not move keeps the reach they had
        p.rellotge.avanca(10000);
        QCOMPARE(p.m->captura().ajuts.abast_x1, a.abast_x1);
    }

    void the_reach_of_a_head_on_the_tracker_is_measured_and_spread_over_the_surface() {
        amb_persones p;
        etapa_punter punter(p.rellotge, p.joystick, p.tintseer);
        punter.enganxa(*p.w);
        p.m.reset();
        p.m = std::make_unique<menu_persona>(*p.w, menu_persona::demana{}, serveis_persona{&punter});
        p.w->mn_acces[1]->setEnabled(true);
        p.w->mn_acces[1]->trigger();
        finestra_ajustos& f = p.m->obre_ajustos();
        f.mesura_abast();
        // Slow arcs of ±40 px by ±24 px about the middle of the camera's picture, lost now and then.
        for (int ms = 0; ms < 10000; ms += 20) {
            const double t = ms / 1000.0;
            p.tintseer.posicio = std::pair<int16_t, int16_t>(std::lround(230 + 24 * std::sin(2 * pi * t / 4.1)),
                                                             std::lround(320 + 40 * std::sin(2 * pi * t / 6.3)));
            if (ms % 2000 < 200) p.tintseer.posicio.reset();
            p.rellotge.avanca(20);
        }
        QVERIFY(!f.mesurant());
        const ajuts a = p.m->captura().ajuts;
        const QString abast = QString("%1 %2 %3 %4").arg(a.abast_x0).arg(a.abast_x1).arg(a.abast_y0).arg(a.abast_y1);
        QVERIFY2(std::abs(a.abast_x0 - 438) < 8 && std::abs(a.abast_x1 - 562) < 8 && std::abs(a.abast_y0 - 429) < 8 &&
                     std::abs(a.abast_y1 - 529) < 8,
                 qPrintable(abast));
        auto llegeix = [&](int16_t v, int16_t h) {
            p.tintseer.posicio = std::pair<int16_t, int16_t>(v, h);
            int16_t sv = -1, sh = -1;
            punter.tintseer().TintseerObtenirPosicio(sv, sh);
            return std::array<int16_t, 2>{sv, sh};
        };
        const auto dalt_esquerra = llegeix(206, 280), baix_dreta = llegeix(254, 360);
        QVERIFY(dalt_esquerra[0] < 24 && dalt_esquerra[1] < 24 && baix_dreta[0] > 456 && baix_dreta[1] > 616);
    }

    void a_measure_counts_only_what_is_reached_and_changes_only_the_reach() {
        amb_persones p;
        etapa_punter punter(p.rellotge, p.joystick, p.tintseer);
        punter.enganxa(*p.w);
        p.m.reset();
        p.m = std::make_unique<menu_persona>(*p.w, [&p](const QString&, const QString&) { return p.resposta; },
                                             serveis_persona{&punter});
        p.w->mn_acces_Click(0);
        finestra_ajustos& f = p.m->obre_ajustos();
        mou(p.w->pantalla, 0.5, 0.95); // where the pointer stood when the button was pressed
        f.mesura_abast();
        p.rellotge.avanca(2000);
        ajuts a = p.m->ajustos().valors();
        a.volum = 40; // changed by a helper meanwhile
        p.m->ajustos().aplica(a);
        for (int ms = 0; ms < 8000; ms += 20) { // the hand sweeps the top only
            mou(p.w->pantalla, (ms % 1000) / 1000.0, 0.05 + 0.25 * ms / 8000.0);
            p.rellotge.avanca(20);
        }
        p.rellotge.avanca(100);
        QVERIFY(!f.mesurant());
        QVERIFY2(p.m->captura().ajuts.abast_y1 < 350, qPrintable(QString::number(p.m->captura().ajuts.abast_y1)));
        QCOMPARE(p.m->captura().ajuts.volum, 40);

        // Stopped with Escape, or left for another person: the reach of before stays.
        const int y1 = p.m->captura().ajuts.abast_y1;
        f.mesura_abast();
        QVERIFY(QTest::qWaitForWindowActive(p.w.get())); // the surface has the keyboard while the person moves
        QTest::keyClick(p.w.get(), Qt::Key_Escape);
        QVERIFY(!f.mesurant());
        QCOMPARE(p.m->captura().ajuts.abast_y1, y1);
        p.nova("Anna");
        f.mesura_abast();
        p.m->cap_persona();
        QVERIFY(!f.mesurant());
        QCOMPARE(p.m->captura().ajuts.abast_y1, 1000);
    }

    void the_smoothing_holds_back_a_tremor_and_follows_the_hand() {
        const double lleuger = tremolor_restant(nivell_suavitzat::lleuger), fort = tremolor_restant(nivell_suavitzat::fort);
        QVERIFY2(lleuger < -6 && fort < lleuger - 6, qPrintable(QString("%1 %2").arg(lleuger).arg(fort)));
        QCOMPARE(tremolor_restant(nivell_suavitzat::cap), 0.0);

        // The mouse's smoothing runs on a clock of its own: the pointer glides to where the hand stopped.
        amb_persones p;
        rellotge_vist rellotge{p.rellotge};
        etapa_punter punter(rellotge, p.joystick, p.tintseer);
        punter.enganxa(*p.w);
        p.w->mn_acces_Click(0);
        punter.set_suavitzat(parametres_de(nivell_suavitzat::fort));
        mou(p.w->pantalla, 0.1, 0.5);
        p.rellotge.avanca(1000);
        mou(p.w->pantalla, 0.9, 0.5);
        const double inici = p.w->estat.ratoli_x;
        p.rellotge.avanca(50);
        const double en_50_ms = p.w->estat.ratoli_x;
        p.rellotge.avanca(3000);
        const double amplada = p.w->pantalla->ScaleWidth();
        QVERIFY(std::fabs(inici / amplada - 0.1) < 0.01); // the raw leap did not pass
        QVERIFY(en_50_ms > inici && en_50_ms < amplada * 0.5);
        QVERIFY(std::fabs(p.w->estat.ratoli_x / amplada - 0.9) < 0.01);

        p.w->mn_acces[3]->trigger(); // the switch: nothing to smooth, so the smoothing's clock rests
        QVERIFY(!rellotge.creat->Enabled());

        // The tracker on the same clock, within a head's reach: however seldom the window reads it, the
        // jitter is held back, and a move glides across the whole surface.
        p.w->mn_acces[1]->setEnabled(true);
        p.w->mn_acces[1]->trigger();
        punter.set_abast({0.25, 0.25, 0.75, 0.75});
        auto llegeix = [&] {
            int16_t v = -1, h = -1;
            punter.tintseer().TintseerObtenirPosicio(v, h);
            return std::array<int16_t, 2>{v, h};
        };
        auto vist_a = [&](int16_t x, int ms) {
            for (int t = 0; t < ms; t += 10) {
                p.tintseer.posicio = std::pair<int16_t, int16_t>(240, x + (t % 20 ? 8 : -8));
                p.rellotge.avanca(10);
            }
            return llegeix()[1];
        };
        for (int lectura = 0; lectura < 4; ++lectura) {
            const int16_t h = vist_a(240, 400); // a quarter of the reach's width
            QVERIFY2(std::abs(h - 160) <= 2, qPrintable(QString::number(h)));
        }
        const int16_t desplacant = vist_a(400, 50), arribat = vist_a(400, 950);
        QVERIFY2(desplacant > 170 && desplacant < 470, qPrintable(QString::number(desplacant)));
        QVERIFY2(std::abs(arribat - 480) <= 2, qPrintable(QString::number(arribat)));
        p.tintseer.posicio.reset(); // out of sight: nothing written, and the next sighting is taken as it is
        p.rellotge.avanca(10);
        QCOMPARE(llegeix(), (std::array<int16_t, 2>{-1, -1}));
        p.tintseer.posicio = std::pair<int16_t, int16_t>(180, 400);
        p.rellotge.avanca(10);
        QCOMPARE(llegeix(), (std::array<int16_t, 2>{120, 480}));

        punter.set_suavitzat(parametres_de(nivell_suavitzat::cap)); // off, with the whole surface: as it comes
        punter.set_abast({});
        QVERIFY(!rellotge.creat->Enabled());
        p.tintseer.posicio = std::pair<int16_t, int16_t>(30, 40);
        QCOMPARE(llegeix(), (std::array<int16_t, 2>{30, 40}));
    }

    void the_ring_repaints_only_where_it_moves() {
        amb_persones p;
        persona amb_anell; // the switch, never pressed: nothing but the ring repaints the surface
        amb_anell.acces = 3;
        amb_anell.ajuts.cursor_contrast = 10;
        p.m->aplica(amb_anell);
        QVERIFY(QTest::qWaitForWindowExposed(p.w.get()));
        capa_superficie& capa = p.m->ajustos().capa();
        struct pintures : QObject {
            QRegion pintat;
            bool eventFilter(QObject*, QEvent* e) override {
                if (e->type() == QEvent::Paint) pintat += static_cast<QPaintEvent*>(e)->region();
                return false;
            }
        } vist;
        capa.installEventFilter(&vist);
        for (QPoint lloc : {QPoint(50, 50), QPoint(100, 100)}) { // the first paint draws it whole
            vist.pintat = {};
            p.w->cursor_actiu->move(lloc);
            p.rellotge.avanca(40);
            QTRY_VERIFY(!vist.pintat.isEmpty());
        }
        const QRect r = vist.pintat.boundingRect();
        QVERIFY2(!r.isEmpty() && r.width() * r.height() < capa.width() * capa.height() / 4,
                 qPrintable(QString("%1 %2 %3 %4 of %5 %6").arg(r.x()).arg(r.y()).arg(r.width()).arg(r.height()).arg(capa.width()).arg(capa.height())));
        vist.pintat = {};
        p.rellotge.avanca(200); // nothing moves: nothing is painted
        QTest::qWait(50);
        QVERIFY(vist.pintat.isEmpty());
    }

    void the_aids_are_kept_with_the_person_and_set_in_their_window() {
        amb_persones p;
        volum_fals volum;
        p.m.reset();
        p.m = std::make_unique<menu_persona>(*p.w, [&](const QString&, const QString&) { return p.resposta; },
                                             serveis_persona{nullptr, &volum});
        finestra_ajustos& f = p.m->obre_ajustos();
        f.findChild<QSpinBox*>("cursor_contrast")->setValue(12);
        f.findChild<QSlider*>("volum")->setValue(50);
        f.findChild<QSpinBox*>("acompanyament")->setValue(-12);
        f.findChild<QCheckBox*>("graella")->setChecked(true);
        QCOMPARE(p.m->captura().ajuts.cursor_contrast, 12);
        QCOMPARE(volum.fets.back().sintetitzador, 0.5);
        QVERIFY(std::fabs(volum.fets.back().canals[canal_bateria] - std::pow(10, -12 / 20.0)) < 1e-9);
        p.w->fmus[2]->trigger(); // Bateria: the drums are the person's own
        QCoreApplication::processEvents();
        QCOMPARE(volum.fets.back().canals[canal_bateria], 1.0);
        p.nova("Marta");

        persona_llegida llegida = llegeix_persona(p.fitxer("Marta"), "Marta");
        QVERIFY(llegida.fora_de_marge.isEmpty());
        QCOMPARE(llegida.p.ajuts.volum, 50);
        QCOMPARE(llegida.p.ajuts.acompanyament, -12);
        QVERIFY(llegida.p.ajuts.graella);
        p.m->cap_persona();
        QCOMPARE(volum.fets.back().sintetitzador, 1.0); // the seed's levels again
        QCOMPARE(p.m->captura().ajuts.cursor_contrast, 0);
        QCOMPARE(f.findChild<QSpinBox*>("cursor_contrast")->value(), 0); // the open window shows who plays now

        // A reach too narrow to play in, or values beyond their ranges, are brought back and said.
        p.escriu("persones/Marta.ini", "[persona]\nabast_x0=500\nabast_x1=520\nvolum=300\nacompanyament=-90\n");
        llegida = llegeix_persona(p.fitxer("Marta"), "Marta");
        QVERIFY(!llegida.fora_de_marge.isEmpty());
        QCOMPARE(llegida.p.ajuts.abast_x1 - llegida.p.ajuts.abast_x0, 1000);
        QCOMPARE(std::make_pair(llegida.p.ajuts.volum, llegida.p.ajuts.acompanyament), std::make_pair(100, -24));
    }

    void an_unknown_person_asked_for_starts_as_the_seed_and_says_so() {
        amb_persones p;
        p.reobre("Ningú");
        QCOMPARE(p.m->actual(), QString());
        QCOMPARE(p.caixes.personals, QStringList{p.caixes.avisos.value(0)}); // shown, kept out of standard error
        QVERIFY(p.caixes.avisos[0].contains("Ningú"));
        QVERIFY(p.w->fmus.Checked(0));
        p.nova("Anna");
        p.reobre("aNNA"); // a name is the person's whatever its case
        QCOMPARE(p.m->actual(), QString("Anna"));
        p.reobre(QString()); // asked for with no name: said, not the last one
        QCOMPARE(p.m->actual(), QString());
        QCOMPARE(p.caixes.avisos.size(), 2);
    }

    void every_fault_of_a_file_is_mended_and_named_once() {
        amb_persones p;
        QDir().mkpath(p.m->carpeta());
        p.escriu("persones/Marta.ini", "[persona]\ntauler_pulsador=500\nabast_x0=500\nabast_x1=510\nvolum=300\nsuavitzat=2\n");
        const persona_llegida llegida = llegeix_persona(p.fitxer("Marta"), "Marta");
        QCOMPARE(llegida.p.ajuts.tauler_pulsador, 2000);
        QCOMPARE(llegida.p.ajuts.abast_x1 - llegida.p.ajuts.abast_x0, 1000);
        const parametres_suavitzat fort = parametres_de(nivell_suavitzat::fort); // a level named alone is its preset
        QCOMPARE(llegida.p.ajuts.suavitzat_fc, int(std::lround(fort.fc_minima * 100)));
        QCOMPARE(llegida.p.ajuts.suavitzat_beta, int(std::lround(fort.beta * 1e6)));
        // At the edges: a level past the strongest is the strongest, a reach of just 5 % stands, the picture stays.
        p.escriu("persones/Nil.ini", "[persona]\nsuavitzat=3\nabast_x0=100\nabast_x1=150\nabast_y0=200\nabast_y1=250\nfons=fons.png\n");
        const persona_llegida nil = llegeix_persona(p.fitxer("Nil"), "Nil");
        QCOMPARE(nil.p.nom, QString("Nil"));
        QCOMPARE(nil.p.ajuts.suavitzat, 2);
        QVERIFY(nil.fora_de_marge.join(' ').contains("suavitzat=3"));
        QCOMPARE(nil.p.ajuts.abast_x1 - nil.p.ajuts.abast_x0, 50);
        QCOMPARE(nil.p.ajuts.abast_y1 - nil.p.ajuts.abast_y0, 50);
        QCOMPARE(nil.p.fons, QString("fons.png"));
        p.m->tria("Marta");
        QCOMPARE(p.caixes.avisos.size(), 1);
        QVERIFY(p.caixes.avisos[0].contains("volum=300") && p.caixes.avisos[0].contains("tauler_pulsador=500"));
        p.reobre();
        QCOMPARE(p.m->actual(), QString("Marta"));
        QCOMPARE(p.caixes.avisos.size(), 1);
    }

    void the_settings_window_takes_what_a_helper_types() {
        amb_persones p;
        etapa_punter punter(p.rellotge, p.joystick, p.tintseer);
        punter.enganxa(*p.w);
        p.m.reset();
        p.m = std::make_unique<menu_persona>(*p.w, menu_persona::demana{}, serveis_persona{&punter});
        finestra_ajustos& f = p.m->obre_ajustos();
        auto escriu = [](QAbstractSpinBox* s, const QString& text) {
            s->selectAll();
            QTest::keyClicks(s, text);
            QTest::keyClick(s, Qt::Key_Return);
        };
        auto ajuts_ara = [&] { return p.m->captura().ajuts; };
        f.findChild<QComboBox*>("suavitzat")->setCurrentIndex(2);
        auto* fc = f.findChild<QDoubleSpinBox*>("suavitzat_fc");
        escriu(fc, QString("2") + fc->locale().decimalPoint() + "5");
        QCOMPARE(ajuts_ara().suavitzat_fc, 250);
        auto* tauler = f.findChild<QSpinBox*>("tauler_pulsador");
        escriu(tauler, "3000");
        QCOMPARE(ajuts_ara().tauler_pulsador, 3000);
        escriu(tauler, "2000");
        QTest::keyClick(tauler, Qt::Key_Down);
        QCOMPARE(ajuts_ara().tauler_pulsador, 0); // "mai"
        QTest::keyClick(tauler, Qt::Key_Up);
        QCOMPARE(ajuts_ara().tauler_pulsador, 2000);

        auto* tecla = f.findChild<QKeySequenceEdit*>("tecla_seguent");
        QTest::keyClick(tecla, Qt::Key_N);
        QTRY_COMPARE(ajuts_ara().tecla_seguent, int(Qt::Key_N)); // the edit takes a key once a second has passed
        for (Qt::Key sortida : {Qt::Key_Escape, Qt::Key_Backspace, Qt::Key_Delete}) QTest::keyClick(tecla, sortida);
        QTest::qWait(1200);
        QCOMPARE(ajuts_ara().tecla_seguent, int(Qt::Key_N));
        auto* cap = f.findChild<QPushButton*>("tecla_seguent_cap");
        QVERIFY(cap);
        cap->click();
        QCOMPARE(ajuts_ara().tecla_seguent, 0);
        QCOMPARE(tecla->findChild<QLineEdit*>()->placeholderText(), QString("Premeu la tecla"));
    }
};

QTEST_MAIN(test_persones)
#include "test_persones.moc"
