// The catalogue read from brisola.ini into tables, menus and the sound list,
// and the default catalogue we ship.
#include "fakes/banc.h"
#include "music/passos.h"
#include "music/taula_acords.h"

#include <QDir>
#include <QMenu>
#include <QtTest>

using namespace brisola;

namespace {

QStringList visibles(const menu_array& items) {
    QStringList captions;
    for (int16_t i = 0; i < items.size(); ++i)
        if (items[i]->isVisible()) captions << items[i]->text();
    return captions;
}

// Beats of a pattern of steps of `mida` characters; -1 when a step is malformed.
double temps_del_patro(const QString& patro, int mida, const std::function<bool(const QString&)>& resta_valida) {
    if (patro.isEmpty() || patro.size() % mida != 0) return -1;
    double temps = 0;
    for (qsizetype i = 0; i < patro.size(); i += mida) {
        QString pas = patro.mid(i, mida);
        std::optional<double> f = fraccio(pas);
        if (!f || *f <= 0 || !resta_valida(pas.mid(2))) return -1;
        temps += 4 * *f;
    }
    return temps;
}

} // namespace

class test_cataleg : public QObject {
    Q_OBJECT

private slots:
    void sections_fill_their_tables_menus_and_sound_list() {
        banc b;
        b.escriu("brisola.ini", "[canciones]\nnum=2\n1nombre=A\n1midi=a.mid\n2nombre=B\n3nombre=C\n"
                                "[RITMOS]\r\nNUM=1\r\n1Nombre=Vals\r\n1ACORDES=34Ma0\r\n1tiempos= 3 \r\n"
                                "[instrumentos]\nnum=3\n1nom=Piano\n1codi=  25 \n2nom=Orgue\n3nom=Flauta\n3codi=73\n");
        auto w = b.obre();
        QCOMPARE(visibles(w->CMUS), QStringList({"A", "B"}));
        QCOMPARE(w->estat.cancons, taula_cataleg({{"2", "", "", "", ""}, {"", "A", "a.mid", "", ""}, {"", "B", "", "", ""}}));
        QCOMPARE(visibles(w->rmus), QStringList({"Vals"})); // names ignore case
        QCOMPARE(w->estat.ritmes[1], QStringList({"", "Vals", "34Ma0", "", "", "3"}));
        QCOMPARE(w->estat.instruments[1], QStringList({"", "Piano", "25"}));
        QCOMPARE(w->estat.instruments[2], QStringList({"", "Orgue", ""}));
        // An instrument lacking a field is in the table, not in the menu or the list.
        QCOMPARE(visibles(w->mn_instrument), QStringList({"Fer Silenci", "Piano", "Flauta"}));
        QCOMPARE(w->lst_sound_list->ListCount(), 2);
        QCOMPARE(w->lst_sound_list->item(1)->text(), QString("Flauta"));
        QCOMPARE(b.midi.enviats, std::vector<uint32_t>({0x0000B0, 0x0019C0})); // start-up chose the first sound
        w->lst_sound_list->set_ListIndex(1);
        QCOMPARE(b.midi.enviats.back(), uint32_t(0x0049C0));
    }

    void a_program_beyond_midi_is_refused_not_folded() {
        banc b;
        b.escriu("brisola.ini", "[instrumentos]\nnum=2\n1nom=Piano\n1codi=0\n2nom=Massa\n2codi=300\n");
        auto w = b.obre();
        b.midi.enviats.clear();
        w->lst_sound_list->set_ListIndex(1);
        QCOMPARE(b.midi.enviats, std::vector<uint32_t>({0x0000B0})); // the bank select, then nothing
        QCOMPARE(b.caixes.caixes, QStringList({text_error_midi(MMSYSERR_INVALPARAM)}));
        QCOMPARE(b.caixes.titols, QStringList({"Brisola"}));
    }

    void focus_alone_chooses_no_sound() {
        banc b;
        b.escriu("brisola.ini", "[instrumentos]\nnum=1\n1nom=Piano\n1codi=5\n");
        auto w = b.obre();
        QCOMPARE(w->lst_sound_list->ListIndex(), -1); // one entry: start-up selects nothing
        QFocusEvent tab(QEvent::FocusIn, Qt::TabFocusReason);
        QApplication::sendEvent(w->lst_sound_list, &tab);
        QCOMPARE(w->lst_sound_list->currentRow(), 0);
        QVERIFY(b.midi.enviats.empty());
        QCOMPARE(w->lst_sound_list->ListIndex(), -1);
        w->show();
        QRect fila = w->lst_sound_list->visualItemRect(w->lst_sound_list->item(0));
        QTest::mouseClick(w->lst_sound_list->viewport(), Qt::LeftButton, {}, fila.center());
        QCOMPARE(b.midi.enviats, std::vector<uint32_t>({0x0000B0, 0x0005C0}));
    }

    void counts_follow_the_number_rules() {
        const QList<std::pair<QByteArray, int>> casos = {
            {"2.5", 2}, {"3.5", 4}, {"1 2", 12}, {"3 cançons", 3}, {"&H2", 2}, {"", 0}, {"cap", 0},
            {"-1", 0}, {"40000", 0},
        };
        for (const auto& [text, n] : casos) {
            banc b;
            b.escriu("brisola.ini", "[canciones]\nnum=" + text + "\n");
            auto w = b.obre();
            QCOMPARE(w->CMUS.size(), n + 1);
            QVERIFY(!w->CMUS[0]->isVisible());
        }
        banc b; // an empty or missing count makes no table at all
        b.escriu("brisola.ini", "[canciones]\nnum=\n[instrumentos]\n1nom=Piano\n1codi=0\n");
        auto w = b.obre();
        QVERIFY(w->estat.cancons.empty() && w->estat.instruments.empty());
        QCOMPARE(w->mn_instrument.size(), 1);
        QCOMPARE(w->lst_sound_list->ListCount(), 0);
        b.escriu("brisola.ini", "[canciones]\nnum=0\n");
        QCOMPARE(b.obre()->estat.cancons, taula_cataleg({{"0", "", "", "", ""}}));
    }

    void a_huge_count_is_read_up_to_a_limit_and_said() {
        banc b;
        b.escriu("brisola.ini", "[inici]\nidioma=espa\xF1ol\n[canciones]\nnum=32767\n2nombre=Dos\n");
        auto w = b.obre();
        QCOMPARE(w->CMUS.size(), 1001);
        QCOMPARE(w->CMUS[2]->text(), QString("Dos"));
        QCOMPARE(w->estat.cancons.size(), size_t(1001));
        QVERIFY(b.caixes.avisos.isEmpty()); // no window to stand on yet
        w->show();
        w->hide();
        w->show();
        QCOMPARE(b.caixes.avisos, QStringList({"La sección [canciones] de brisola.ini dice que tiene 32767 elementos; "
                                               "Brisola lee los 1000 primeros."}));
    }

    void an_unreadable_file_is_reported_once() {
        banc b;
        QVERIFY(QDir(b.dir.path()).mkpath("brisola.ini"));
        auto w = b.obre();
        w->show();
        QCOMPARE(b.caixes.avisos.size(), 1);
        QVERIFY(b.caixes.avisos[0].startsWith("No es pot llegir el fitxer de configuració " + b.cami("brisola.ini")));
        QCOMPARE(w->estat.idioma, QString("catala"));
        banc absent;
        absent.obre()->show();
        QVERIFY(absent.caixes.avisos.isEmpty());
    }

    void the_shipped_catalogue_is_playable() {
        banc b;
        QFile::copy(QString(BRISOLA_SOURCE_DIR) + "/data/brisola.ini", b.cami("brisola.ini"));
        auto w = b.obre();
        const auto& ritmes = w->estat.ritmes;
        QVERIFY(ritmes.size() >= 7);
        QCOMPARE(ritmes[1][1], QString("Rock"));
        QCOMPARE(ritmes[2][1], QString("vals"));
        QCOMPARE(ritmes[3][1], QString("marxa"));
        auto acord_valid = [](const QString& resta) { return llista_acord(resta.left(2)) && resta[2].isDigit(); };
        auto nota_valida = [](const QString& resta) {
            bool ok = false;
            int n = resta.toInt(&ok);
            return ok && (n == 0 || (n >= 35 && n <= 81));
        };
        for (size_t i = 1; i < ritmes.size(); ++i) {
            const QStringList& r = ritmes[i];
            int temps_compas = r[5].toInt();
            QVERIFY2(temps_compas > 0 && r[4] == QString("%1/4").arg(temps_compas), qPrintable(r[1]));
            double acords = temps_del_patro(r[2], 5, acord_valid), bateria = temps_del_patro(r[3], 4, nota_valida);
            QVERIFY2(acords > 0 && bateria > 0, qPrintable(r[1]));
            // Whole bars, so that chords and drums meet on every bar line.
            QVERIFY2(std::fmod(acords, temps_compas) < 1e-9 && std::fmod(bateria, temps_compas) < 1e-9, qPrintable(r[1]));
        }
        const auto& instruments = w->estat.instruments;
        QVERIFY(instruments.size() >= 25);
        for (size_t i = 1; i < instruments.size(); ++i) {
            bool ok = false;
            int codi = instruments[i][2].toInt(&ok);
            QVERIFY2(ok && codi >= 0 && codi <= 127 && !instruments[i][1].isEmpty(), qPrintable(instruments[i][1]));
        }
        QCOMPARE(w->lst_sound_list->ListCount(), int(instruments.size()) - 1);
        const auto& cancons = w->estat.cancons;
        QCOMPARE(cancons.size(), size_t(6));
        for (size_t i = 1; i < cancons.size(); ++i)
            for (int camp : {2, 3, 4})
                QVERIFY2(QFile::exists(QString(BRISOLA_SOURCE_DIR) + "/data/" + cancons[i][camp]), qPrintable(cancons[i][camp]));
        QCOMPARE(w->estat.idioma, QString("catala"));
    }
};

QTEST_MAIN(test_cataleg)
#include "test_cataleg.moc"
