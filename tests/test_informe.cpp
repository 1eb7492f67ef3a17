// The therapist's report: a session's figures, the Sessions window with its PDF
// and CSV, the listing and deletion of a person's sessions, and the export
// from the command line.
#include "fakes/sistemes_falsos.h"
#include "platform/lector_smf.h"
#include "sessions/finestra_exportacio.h"
#include "sessions/finestra_sessions.h"
#include "sessions/linia_exportacio.h"
#include "sessions/llista_sessions.h"
#include "sessions/textos_sessions.h"
#include "sessions/xifres.h"

#include <QChartView>
#include <QDateTimeAxis>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineSeries>
#include <QProcess>
#include <QPushButton>
#include <QSpinBox>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QValueAxis>
#include <QtTest>

#include <numeric>

#include <sys/stat.h>

#include <cerrno>

#include "fakes/fitxers.h"

using namespace brisola;

namespace {


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
            [si](const QString&) { return si; }, {}};
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
                                "M0 903c64\nM0 99244f\nM0 903c00\nC27000 modalitat 2 Bateria\nM0 99244f\nA1000 1\nA500 0\n"
                                "K0 1\nA500 1\nA1500 0\nA100 0\nT60000\n"));
        xifres x = xifres_de(*s);
        QCOMPARE(x.mapa[0][0], 3000);
        QCOMPARE(x.mapa[11][15], 57000);
        QCOMPARE(x.abast, 2.0 / 192);
        QCOMPARE(x.notes, 2); // the drums are the accompaniment's until "Bateria"
        QCOMPARE(x.notes_minut, 2.0);
        QCOMPARE(x.modalitats[0].ms, 30000);
        QCOMPARE(x.modalitats[0].nom, QString("Ritme i notes"));
        QCOMPARE(x.modalitats[2].ms, 30000);
        QCOMPARE(x.premses, 2);
        QCOMPARE(x.premuda_s, 1.0);
    }

    // The report opens on three sessions, writes its PDF and CSV for the person's
    // eyes only, and deletes only once confirmed.
    void l_informe_de_tres_sessions() {
        QTemporaryDir dir;
        const QStringList fitxers = tres_sessions(dir);
        bool si = false;
        finestra_sessions f({}, {{}, [&](const QString&) { return si; }, {}});
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
        finestra_sessions f({}, {{}, [&](const QString& p) { return pregunta = p, true; }, {}});
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

    // The window offers MIDI and exports the part asked for, in whole seconds; at first,
    // the whole session.
    void la_finestra_exporta_el_tros_triat() {
        QTemporaryDir dir;
        const QString sessio = escriu(dir.path() + "/s.diari", "brisola-diari 1\nM0 903c64\nM1500 903e64\nM1000 904064\nT3000\n");
        missatges_fals caixes;
        QString oferit;
        finestra_exportacio f({}, caixes, [&](const QString&, const QString&, const QString&, QString& triat) {
            oferit = triat;
            return dir.path() + "/tros.mid";
        });
        f.omple({sessio});
        auto* des_de = f.findChild<QSpinBox*>("des_de");
        auto* fins_a = f.findChild<QSpinBox*>("fins_a");
        QVERIFY(des_de && fins_a);
        QCOMPARE(std::pair(des_de->value(), fins_a->value()), std::pair(0, 3));
        des_de->setValue(1);
        fins_a->setValue(2);
        f.desa();
        QTRY_VERIFY(!f.ocupada());
        QVERIFY(oferit.contains("*.mid")); // MIDI unless another is chosen
        QFile mid(dir.path() + "/tros.mid");
        QVERIFY(mid.open(QIODevice::ReadOnly));
        const auto esdeveniments = esdeveniments_smf(mid.readAll());
        QVERIFY(esdeveniments);
        std::vector<int> notes;
        for (const auto& e : *esdeveniments)
            if ((e.estat & 0xf0) == 0x90 && e.dada2 > 0) notes.push_back(e.dada1);
        QCOMPARE(notes, std::vector<int>{0x3e});
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

    // The PDF is a document, not a picture of the window: the person, the dates
    // covered, each session's figures with their units on white paper, the map and
    // the trends after them.
    void l_informe_en_pdf_es_un_document() {
        QTemporaryDir dir;
        finestra_sessions f({}, respon({}));
        f.omple("Anna", tres_sessions(dir));
        const QString pdf = dir.path() + "/informe.pdf";
        QCOMPARE(f.exporta(pdf), QString());
        QProcess text;
        text.start("pdftotext", {"-layout", pdf, "-"});
        QVERIFY(text.waitForFinished(20000));
        const QStringList pagines = QString::fromUtf8(text.readAllStandardOutput()).split('\f', Qt::SkipEmptyParts);
        QVERIFY2(pagines.size() >= 2, qPrintable(pagines.join("\n----\n")));
        for (const QString& s : {text_sessions({}, t_informe, {"Anna"}),
                                 text_sessions({}, t_periode, {"01/12/2026", "03/12/2026", "3"}), QString("h:mm:ss"),
                                 QString("0:03:00"), text_sessions({}, t_mapa_de, {"2026-12-03 10:00"})})
            QVERIFY2(pagines[0].simplified().contains(s), qPrintable(s + " not in\n" + pagines[0]));
        QVERIFY(pagines.last().contains(text_sessions({}, t_tendencies)));

        QProcess imatge;
        imatge.start("pdftoppm", {"-r", "20", "-f", "1", "-l", "1", "-gray", pdf, dir.path() + "/pagina"});
        QVERIFY(imatge.waitForFinished(20000));
        const QImage pagina(QDir(dir.path()).filePath(QDir(dir.path()).entryList({"pagina*"}).value(0)));
        QVERIFY(!pagina.isNull());
        double suma = 0;
        for (int y = 0; y < pagina.height(); ++y)
            for (int x = 0; x < pagina.width(); ++x) suma += qGray(pagina.pixel(x, y));
        QVERIFY2(suma / (pagina.width() * pagina.height()) > 225, "not on white paper");
    }

    // The trends: sessions of one day told apart by their time, in the order they
    // started whatever the files' order, the one under way left out and marked,
    // presses on whole-number ticks.
    void les_tendencies_distingeixen_les_sessions_d_un_dia() {
        QTemporaryDir dir;
        QStringList fitxers;
        for (const char* hora : {"16:00", "09:00", "11:30", "17:00"})
            fitxers << escriu(dir.path() + "/" + QString(hora).remove(':') + ".diari",
                              sessio_de(QString("2026-12-07T%1:00").arg(hora), 2) + "A0 1\nA500 0\n");
        finestra_sessions f({}, respon({}));
        f.omple("Anna", fitxers, fitxers.last());
        QVERIFY(f.findChild<QTableWidget*>("sessions")->item(3, 0)->text().endsWith("(" + text_sessions({}, t_en_curs) + ")"));
        const auto vistes = f.findChildren<QChartView*>();
        QCOMPARE(vistes.size(), 4);
        for (QChartView* vista : vistes) {
            const auto* serie = qobject_cast<QLineSeries*>(vista->chart()->series().value(0));
            const auto* eix = qobject_cast<QDateTimeAxis*>(vista->chart()->axes(Qt::Horizontal).value(0));
            QVERIFY(serie && eix);
            QStringList etiquetes;
            for (int i = 0; i < serie->count(); ++i)
                etiquetes << QDateTime::fromMSecsSinceEpoch(qint64(serie->at(i).x())).toString(eix->format());
            QCOMPARE(etiquetes.size(), 3);
            QVERIFY2(etiquetes[0] < etiquetes[1] && etiquetes[1] < etiquetes[2], qPrintable(etiquetes.join(", ")));
        }
        const auto* premses = qobject_cast<QValueAxis*>(vistes[3]->chart()->axes(Qt::Vertical).value(0));
        QCOMPARE(premses->tickType(), QValueAxis::TicksDynamic);
        QCOMPARE(premses->tickInterval(), 1.0);
        QCOMPARE(premses->labelFormat(), QString("%d"));
    }

    // Each modality, access method and instrument as the menus name it now, from the
    // index the journal kept, whatever language it was kept in; the window follows a
    // change of language while it is open.
    void la_finestra_diu_les_tries_en_l_idioma_del_moment() {
        QTemporaryDir dir;
        const QString fitxer = escriu(dir.path() + "/s.diari",
                                      "brisola-diari 1\nC0 modalitat 1  Escala i temps\nC0 acces 0 Ratolí\n"
                                      "C0 instrument 3 Piano\nC1000 modalitat 1 Escala y tiempo\nC0 acces 7 Un altre\nT2000\n");
        QString idioma = "catala";
        auto dialegs = respon({});
        dialegs.nom = [&](const QString& clau, int index) {
            if (clau == "modalitat" && index == 1) return QString(idioma == "español" ? "Escala y tiempo" : "Escala i temps");
            return clau == "acces" && index == 0 ? QString("Ratolí") : QString();
        };
        finestra_sessions f(idioma, dialegs);
        f.omple("Anna", {fitxer});
        auto* taula = f.findChild<QTableWidget*>("sessions");
        QCOMPARE(taula->item(0, 2)->text(), QString("Escala i temps"));
        QCOMPARE(taula->item(0, 3)->text(), QString("Ratolí / Un altre"));
        QCOMPARE(taula->item(0, 4)->text(), QString("Piano"));
        idioma = "español";
        f.set_idioma(idioma);
        QCOMPARE(taula->item(0, 2)->text(), QString("Escala y tiempo"));
        QCOMPARE(taula->horizontalHeaderItem(0)->text(), text_sessions(idioma, t_data));
        prem(f, text_sessions(idioma, t_esborra_totes));
    }

    // Three hours of play, the pointer moving twenty times a second: the report reads it whole.
    void l_informe_d_una_sessio_de_tres_hores() {
        QTemporaryDir dir;
        QByteArray text = "brisola-diari 1\nI0 inici 2026-12-07T09:00:00\nC0 modalitat 0 Ritme i notes\n";
        constexpr int passos = 3 * 3600 * 20;
        for (int i = 0; i < passos; ++i) {
            const int x = (i * 7) % 1000, y = (i / 50 * 3) % 1000;
            // Once a second a time mark and a note; the pointer every 50 ms.
            if (i % 20 == 0) text += "T" + QByteArray::number(int64_t(i) * 50) + "\nM0 903c64\nP0 ";
            else text += "P50 ";
            text += QByteArray::number(x) + " " + QByteArray::number(y) + " 0 0\n";
        }
        text += "T10800000\n";
        const QString fitxer = escriu(dir.path() + "/llarga.diari", text);
        finestra_sessions f({}, respon({}));
        f.omple("Anna", {fitxer});
        QCOMPARE(f.files(), 1);
        QCOMPARE(f.findChild<QTableWidget*>("sessions")->item(0, 1)->text(), QString("3:00:00"));
        auto s = llegeix_sessio(fitxer);
        const xifres x = xifres_de(*s);
        QCOMPARE(x.notes_minut, 60.0);
        QCOMPARE(x.premuda_s, 0.0); // no presses: no hold
        int64_t temps = 0;
        for (const auto& fila : x.mapa) temps = std::accumulate(fila.begin(), fila.end(), temps);
        QCOMPARE(temps, 3 * 3600 * 1000);
        QCOMPARE(x.abast, 1.0);
        QCOMPARE(f.exporta(dir.path() + "/informe.pdf"), QString());
    }
};

QTEST_MAIN(test_informe)
#include "test_informe.moc"
