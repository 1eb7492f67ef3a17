// The therapist's report: a session's figures, the Sessions window with its PDF
// and CSV, the listing and deletion of a person's sessions, and the export
// from the command line.
#include "fakes/sistemes_falsos.h"
#include "sessions/finestra_exportacio.h"
#include "sessions/finestra_sessions.h"
#include "sessions/linia_exportacio.h"
#include "sessions/llista_sessions.h"
#include "sessions/textos_sessions.h"
#include "sessions/xifres.h"

#include <QDir>
#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QTemporaryDir>
#include <QtTest>

#include <sys/stat.h>

#include <cerrno>

using namespace brisola;

namespace {

QString escriu(const QString& cami, const QByteArray& bytes) {
    QFile f(cami);
    f.open(QIODevice::WriteOnly);
    f.write(bytes);
    return cami;
}

int mode(const QString& cami) {
    struct stat s {};
    ::stat(cami.toUtf8().constData(), &s);
    return int(s.st_mode & 0777);
}

// A session of `minuts` starting at `inici`, its pointer at `x` per mille across.
QByteArray sessio_de(const QString& inici, int minuts, int x = 500) {
    return QString("brisola-diari 1\nI0 inici %1\nC0 modalitat 1 Escala i temps\nP0 %2 500 0 0\nM0 903c64\nT%3\n")
        .arg(inici)
        .arg(x)
        .arg(minuts * 60000)
        .toUtf8();
}

QStringList tres_sessions(const QTemporaryDir& dir) {
    QStringList fitxers;
    for (int i = 0; i < 3; ++i)
        fitxers << escriu(dir.path() + QString("/2026-12-0%1_10-00-00.diari").arg(i + 1),
                          sessio_de(QString("2026-12-0%1T10:00:00").arg(i + 1), i + 1, i * 300));
    return fitxers;
}

finestra_sessions::dialegs respon(const QString& desti, bool si = true) {
    return {[desti](const QString&, const QString&, const QString&, QString&) { return desti; },
            [si](const QString&) { return si; }};
}

void prem(QWidget& w, const QString& text) {
    for (auto* b : w.findChildren<QPushButton*>())
        if (b->text() == text) return b->click();
    QFAIL(qPrintable("no button " + text));
}

QString estat(QWidget& w) { return w.findChild<QLabel*>("estat")->text(); }

} // namespace

class test_informe : public QObject {
    Q_OBJECT
private slots:
    // The therapist's figures: where the pointer rested, the share of cells
    // visited, notes per minute counted in their modality, presses and holds.
    void les_xifres_d_una_sessio() {
        auto s = llegeix_sessio(QByteArray("brisola-diari 1\nC0 modalitat 0 Ritme i notes\nP0 0 0 500 500\nP3000 999 999 0 0\n"
                                "M0 903c64\nM0 99244f\nC27000 modalitat 2 Bateria\nM0 99244f\nA1000 1\nA500 0\n"
                                "K0 1\nA500 1\nA1500 0\nT60000\n"));
        xifres x = xifres_de(*s);
        QCOMPARE(x.mapa[0][0], 3000);
        QCOMPARE(x.mapa[11][15], 57000);
        QCOMPARE(x.abast, 2.0 / 192);
        QCOMPARE(x.notes, 2); // the drums are the accompaniment's until "Bateria"
        QCOMPARE(x.notes_minut, 2.0);
        QCOMPARE(x.modalitats["Ritme i notes"], 30000);
        QCOMPARE(x.modalitats["Bateria"], 30000);
        QCOMPARE(x.premses, 2);
        QCOMPARE(x.premuda_s, 1.0);
    }

    // The report opens on three sessions, writes its PDF and CSV for the person's
    // eyes only, and deletes only once confirmed.
    void l_informe_de_tres_sessions() {
        QTemporaryDir dir;
        const QStringList fitxers = tres_sessions(dir);
        bool si = false;
        finestra_sessions f({}, {{}, [&](const QString&) { return si; }});
        f.omple("Anna", fitxers);
        f.show();
        QCOMPARE(f.files(), 3);
        QCOMPARE(f.exporta(dir.path() + "/informe.pdf"), QString());
        QCOMPARE(mode(dir.path() + "/informe.pdf"), 0600);
        QCOMPARE(mode(dir.path() + "/informe.csv"), 0600);
        QFile pdf(dir.path() + "/informe.pdf");
        QVERIFY(pdf.open(QIODevice::ReadOnly) && pdf.read(5) == "%PDF-");
        QFile csv(dir.path() + "/informe.csv");
        QVERIFY(csv.open(QIODevice::ReadOnly));
        const QList<QByteArray> files = csv.readAll().trimmed().split('\n');
        QCOMPARE(files.size(), 4);
        QVERIFY(files[3].startsWith("2026-12-03T10:00:00,180.0,\"Escala i temps\",0.33"));
        f.esborra();
        QCOMPARE(f.files(), 3);
        si = true;
        f.tria(0);
        f.esborra();
        QCOMPARE(f.files(), 2);
        QVERIFY(!QFile::exists(fitxers[0]) && QFile::exists(fitxers[2]));
        f.esborra_totes();
        QCOMPARE(f.files(), 0);
        QVERIFY(!QFile::exists(fitxers[2]));
    }

    // A report that cannot be written names the file that failed and why.
    void un_informe_que_no_es_pot_escriure_diu_quin_i_per_que() {
        QTemporaryDir dir;
        const QStringList fitxers = tres_sessions(dir);
        finestra_sessions f({}, respon(dir.path() + "/no/hi/es/informe.pdf"));
        f.omple("Anna", fitxers);
        prem(f, text_sessions({}, t_exporta));
        QVERIFY2(estat(f).contains(dir.path() + "/no/hi/es/informe.pdf (" + qt_error_string(ENOENT) + ")"),
                 qPrintable(estat(f)));

        QDir(dir.path()).mkpath("informe.csv/ocupat"); // the CSV's place is taken
        finestra_sessions g({}, respon(dir.path() + "/informe.pdf"));
        g.omple("Anna", fitxers);
        prem(g, text_sessions({}, t_exporta));
        QVERIFY2(estat(g).startsWith(text_sessions({}, t_no_exportat, {dir.path() + "/informe.csv", ""}).chopped(3)),
                 qPrintable(estat(g)));
        QVERIFY(!estat(g).contains("Unknown error"));
    }

    // "Esborra-les totes" deletes also the journals that do not read, and names what it could not delete.
    void esborrar_les_totes_tambe_esborra_les_illegibles() {
        QTemporaryDir dir;
        QStringList fitxers = tres_sessions(dir);
        fitxers << escriu(dir.path() + "/buida.diari", "") << escriu(dir.path() + "/malmesa.diari", "brisola-dia");
        const QString ocupat = dir.path() + "/ocupat.diari";
        QDir(dir.path()).mkpath("ocupat.diari/dins");
        fitxers << ocupat;
        QString pregunta;
        finestra_sessions f({}, {{}, [&](const QString& p) { return pregunta = p, true; }});
        f.omple("Anna", fitxers);
        QCOMPARE(f.files(), 3);
        f.esborra_totes();
        QCOMPARE(pregunta, text_sessions({}, t_confirma_totes, {"Anna", "6"}));
        QCOMPARE(QDir(dir.path()).entryList({"*.diari"}, QDir::AllEntries | QDir::NoDotAndDotDot), QStringList{"ocupat.diari"});
        QVERIFY2(estat(f).startsWith(text_sessions({}, t_no_esborrat, {ocupat, ""}).chopped(3)), qPrintable(estat(f)));
    }

    // The last session is the last started: a second one in the same second ("…-2"),
    // and an hour the clocks repeat, sort by their start, not by their names.
    void les_sessions_van_per_ordre_d_inici() {
        QTemporaryDir dir;
        const auto sessio = [&](const QString& nom, const QString& inici) {
            return escriu(dir.path() + "/" + nom + ".diari", sessio_de(inici, 1));
        };
        const QString estiu = sessio("2026-10-25_02-30-00", "2026-10-25T02:30:00.000+02:00");
        const QString hivern = sessio("2026-10-25_02-10-00", "2026-10-25T02:10:00.000+01:00");
        const QString segona = sessio("2026-12-07_10-00-00-2", "2026-12-07T10:00:00.400+01:00");
        const QString primera = sessio("2026-12-07_10-00-00", "2026-12-07T10:00:00.100+01:00");
        const QString tercera = sessio("2026-12-07_10-00-00-3", "2026-12-07T10:00:00.900+01:00");
        QCOMPARE(sessions_de(dir.path()), (QStringList{estiu, hivern, primera, segona, tercera}));
    }

    // A name typed without an extension takes the chosen filter's.
    void un_nom_sense_extensio_pren_la_del_filtre_triat() {
        QTemporaryDir dir;
        const QString sessio = escriu(dir.path() + "/s.diari", "brisola-diari 1\nM0 c00000\nM100 903c64\nT500\n");
        missatges_fals caixes;
        finestra_exportacio f({}, caixes, [&](const QString&, const QString&, const QString& filtres, QString& triat) {
            triat = filtres.section(";;", 1, 1);
            return dir.path() + "/anna";
        });
        f.omple({sessio});
        f.desa();
        QTRY_VERIFY(!f.ocupada());
        QVERIFY2(QFile::exists(dir.path() + "/anna.wav"), qPrintable(QDir(dir.path()).entryList().join(", ")));
    }

    // `brisola --export`: 2 for arguments that are not these, 1 for a session that
    // cannot be read or an output that cannot be written, each naming its file in
    // the interface's language; a later version's journal is exported.
    void l_exportacio_per_linia_diu_que_ha_fallat_i_per_que() {
        QTemporaryDir dir;
        QStringList dit;
        const auto exporta = [&](const QStringList& a, const QString& idioma = "catala") {
            dit.clear();
            return exporta_per_linia(QStringList{"brisola", "--export"} + a, idioma, [&](const QString& t) { dit << t; });
        };
        QCOMPARE(exporta({"s.diari"}, "español"), 2);
        QCOMPARE(dit, QStringList{text_sessions("español", t_us_exportacio)});
        QCOMPARE(exporta({"s.diari", "s.mp3"}), 2);
        const QString absent = dir.path() + "/cap.diari", mid = dir.path() + "/s.mid";
        QCOMPARE(exporta({absent, mid}, "galego"), 1);
        QCOMPARE(dit, QStringList{text_sessions("galego", t_no_llegit, {absent, qt_error_string(ENOENT)})});
        const QString text = escriu(dir.path() + "/text.diari", "hola\n");
        QCOMPARE(exporta({text, mid}), 1);
        QCOMPARE(dit, QStringList{text_sessions({}, t_no_es_diari, {text})});
        QVERIFY(!QFile::exists(mid));

        const QString nova = escriu(dir.path() + "/nova.diari", "brisola-diari 2\nM0 903c64\nX5 nou\nT1000\n");
        QCOMPARE(exporta({nova, mid}), 0);
        QCOMPARE(dit, (QStringList{text_sessions({}, t_malmesa, {"nova.diari", "1"}), text_sessions({}, t_exportat, {mid})}));
        QCOMPARE(exporta({nova, dir.path() + "/no/hi/es/s.mid"}), 1);
        QVERIFY2(dit.last().startsWith(text_sessions({}, t_no_exportat, {dir.path() + "/no/hi/es/s.mid", ""}).chopped(3)),
                 qPrintable(dit.join("\n")));
    }
};

QTEST_MAIN(test_informe)
#include "test_informe.moc"
