// Sessions: the journal as written and read back, its ends, its export to MIDI
// and audio, and its windows in the instrument.
#include "fakes/banc.h"
#include "persones/menu_persona.h"
#include "platform/lector_smf.h"
#include "sessions/costures_diari.h"
#include "sessions/diari.h"
#include "sessions/finestra_exportacio.h"
#include "sessions/menu_sessions.h"
#include "sessions/exportacio.h"
#include "sessions/textos_sessions.h"

#include <QDir>
#include <QFile>
#include <QMenu>
#include <QMenuBar>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QtTest>

#include <sndfile.h>
#include <sys/stat.h>

#include <cmath>
#include <fcntl.h>

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

// A journal run on a hand-moved clock: a message's moment is the clock's now, heard 10 ms later.
struct banc_diari {
    QTemporaryDir dir;
    rellotge_fals rellotge;
    QStringList avisos;
    bool actiu = true;
    std::array<int, 4> lloc{500, 500, 500, 500};
    QString modalitat = "0 Ritme i notes";
    diari d{dir.path() + "/sessions",
            {rellotge, [this] { return int64_t(rellotge.ara()) * 1000000; }, [] { return int64_t(10000000); }},
            "/sf.sf2"};
    banc_diari() {
        d.connecta({[this] { return std::optional(lloc); }, [this] { return escriptor_diari::info{{"modalitat", modalitat}}; },
                    [this] { return actiu; }, [this](int t, const QStringList& dades) { avisos << text_sessions({}, t, dades); }});
    }
    QStringList fitxers(const QString& persona = "Anna") const {
        QStringList f;
        for (const QString& n : QDir(d.carpeta(persona)).entryList({"*.diari"}, QDir::Files, QDir::Name))
            f << d.carpeta(persona) + "/" + n;
        return f;
    }
    sessio llegeix(int i = 0) {
        d.tanca(); // the writer's thread writes what it holds
        return *llegeix_sessio(fitxers().value(i));
    }
};

// A MIDI song of two notes, half a second apart at 120 beats a minute.
QByteArray canco_dues_notes() {
    const QByteArray pista("\x00\x90\x40\x64\x83\x60\x80\x40\x00\x00\x90\x43\x64\x83\x60\x80\x43\x00\x00\xff\x2f\x00", 22);
    return QByteArray("MThd\0\0\0\x06\0\x01\0\x01\x01\xe0", 14) + "MTrk" + QByteArray("\0\0\0", 3) + char(pista.size()) +
           pista;
}

struct so {
    std::vector<float> mostres; // left channel
    int freq = 0;
};
so llegeix_so(const QString& cami) {
    SF_INFO info{};
    SNDFILE* f = sf_open(cami.toUtf8().constData(), SFM_READ, &info);
    so s;
    if (!f) return s;
    std::vector<float> tot(size_t(info.frames * info.channels));
    sf_readf_float(f, tot.data(), info.frames);
    sf_close(f);
    for (size_t i = 0; i < size_t(info.frames); ++i) s.mostres.push_back(tot[i * size_t(info.channels)]);
    s.freq = info.samplerate;
    return s;
}
// The first millisecond the sound rises above -40 dBFS, from `des_de_ms`; -1 if never.
double inici_ms(const so& s, double des_de_ms = 0) {
    for (size_t i = size_t(des_de_ms * s.freq / 1000); i < s.mostres.size(); ++i)
        if (std::fabs(s.mostres[i]) > 0.01) return double(i) * 1000.0 / s.freq;
    return -1;
}
double pic(const so& s) {
    double m = 0;
    for (float x : s.mostres) m = std::max(m, double(std::fabs(x)));
    return m;
}

} // namespace

class test_sessions : public QObject {
    Q_OBJECT
private slots:
    // What is written reads back at its times, whole lines only: a cut line, a
    // spoiled one, a later version's kind.
    void el_diari_es_llegeix_fins_a_la_darrera_linia_sencera() {
        QTemporaryDir dir;
        const QByteArray text = "brisola-diari 1\nI0 persona Núria\nM5 c00500\nM1 903c64\nX7 desconegut\nM2 b07800\n"
                                "Pzz 1 2\nM3 903e64\nT2000\nP0 10 20 30 40\nK1 1\nA30 1\nM4 9040";
        auto s = llegeix_sessio(text);
        QVERIFY(s);
        QCOMPARE(s->info.value("persona"), QString("Núria"));
        QCOMPARE(s->midi.size(), size_t(4)); // the cut last line is not read
        QCOMPARE(s->midi[1].ms, 6);
        QCOMPARE(s->midi[2].ms, 15); // the unknown kind's 7 ms still count
        QCOMPARE(s->midi[3].ms, 18); // the spoiled line is passed over
        QCOMPARE(s->punter[0].ms, 2000); // a time mark sets the time outright
        QCOMPARE(s->pulsador.size(), size_t(2));
        QVERIFY(!s->pulsador[0].acceptada && s->pulsador[1].acceptada);
        QCOMPARE(s->pulsador[1].ms, 2031);
        QCOMPARE(s->passades, 2);
        QVERIFY(!llegeix_sessio(QByteArray("no és un diari\n")));
    }

    // Nobody's play is kept; a person's starts at the first sound, with the programs
    // already chosen, and its file and folders are the owner's only.
    void una_sessio_comenca_amb_el_primer_so_de_la_persona() {
        banc_diari b;
        b.d.midi(0x0000c0 | (73 << 8));
        b.d.midi(0x643c90);
        QVERIFY(b.fitxers().isEmpty() && !QDir(b.dir.path() + "/sessions").exists());
        b.d.set_persona("Anna");
        b.d.midi(0x0007b0 | (100 << 16)); // a controller only: no sound yet
        QVERIFY(b.fitxers().isEmpty());
        b.rellotge.avanca(1000);
        b.d.midi(0x643c90);
        QCOMPARE(b.fitxers().size(), 1);
        QCOMPARE(mode(b.fitxers()[0]), 0600);
        QCOMPARE(mode(b.d.carpeta("Anna")), 0700);
        QCOMPARE(mode(b.d.arrel()), 0700);
        b.lloc = {100, 200, 300, 400};
        b.rellotge.avanca(120);
        b.d.pulsador(true, false);
        b.d.pulsador(true, true);
        sessio s = b.llegeix();
        QCOMPARE(s.info.value("soundfont"), QString("/sf.sf2"));
        // The program and the controller come first, then the note as heard, 10 ms on.
        QCOMPARE(s.midi.size(), size_t(3));
        QCOMPARE(s.midi[0].estat, 0xc0);
        QCOMPARE(s.midi[0].dada1, 73);
        QCOMPARE(s.midi[1].estat, 0xb0);
        QCOMPARE(s.midi[2].ms, 10);
        QCOMPARE(s.tries.front().valor, QString("0 Ritme i notes"));
        QCOMPARE(s.punter.back().ms, 50); // the pointer's moves at the next twentieth of a second
        QCOMPARE(s.punter.back().per_mil, (std::array<int, 4>{100, 200, 300, 400}));
        QCOMPARE(s.pulsador.size(), size_t(2));
    }

    // Ten minutes without sound or a song end the session; the next sound, another
    // person, or the person's journal turned off do too.
    void una_sessio_acaba_amb_el_silenci_o_una_altra_persona() {
        banc_diari b;
        b.d.set_persona("Anna");
        b.d.midi(0x643c90);
        b.d.canco("play %2Fs%2Fa.wav", true);
        b.rellotge.avanca(diari::silenci_ms + 1000); // a song plays on: the session goes on
        QVERIFY(!b.d.fitxer().isEmpty());
        b.d.canco("pause %2Fs%2Fa.wav", false);
        b.rellotge.avanca(diari::silenci_ms - 1000);
        QVERIFY(!b.d.fitxer().isEmpty());
        b.rellotge.avanca(2000);
        QVERIFY(b.d.fitxer().isEmpty());
        b.rellotge.avanca(1000);
        b.d.midi(0x643c90);
        QCOMPARE(b.fitxers().size(), 2);
        b.d.set_persona("Biel");
        QVERIFY(b.d.fitxer().isEmpty());
        b.actiu = false;
        b.d.midi(0x643c90);
        QVERIFY(b.fitxers("Biel").isEmpty());
        b.actiu = true;
        b.d.midi(0x643c90);
        b.actiu = false;
        b.rellotge.avanca(diari::periode_ms);
        QVERIFY(b.d.fitxer().isEmpty());
        // The second session begins with the song as it was left: opened and held.
        QVERIFY(b.llegeix(1).cancons.size() >= 2);
    }

    // A folder that cannot be made is said once and play goes on; a full disk stops the journal.
    void una_carpeta_impossible_o_un_disc_ple_no_aturen_la_musica() {
        banc_diari b;
        escriu(b.dir.path() + "/fitxer", "x");
        diari d(b.dir.path() + "/fitxer/sessions", {b.rellotge, [] { return int64_t(0); }, [] { return int64_t(0); }}, {});
        QStringList avisos;
        d.connecta({{}, {}, [] { return true; }, [&](int t, const QStringList&) { avisos << QString::number(t); }});
        d.set_persona("Anna");
        d.midi(0x643c90);
        d.midi(0x643e90);
        QCOMPARE(avisos, QStringList{QString::number(t_no_es_pot_escriure)});

        escriptor_diari ple(::open("/dev/full", O_WRONLY), 0, {{"persona", "Anna"}});
        for (int i = 0; i < 10 && !ple.fallat(); ++i) {
            ple.escriu('M', 0, "903c64");
            QTest::qWait(150);
        }
        QVERIFY(ple.fallat());
        ple.escriu('M', 0, "903c64"); // nothing more is tried, nothing waits
    }

    // The MIDI file holds the journal's notes at its milliseconds: each ended where the
    // channel was silenced, the drums on their own track, a part starting at its own 0
    // with the program chosen before it.
    void la_interpretacio_en_midi_te_les_notes_del_diari() {
        const QByteArray text = "brisola-diari 1\nM0 c04900\nM100 903c64\nM250 b07800\nM0 903e50\nM50 99244f\n"
                                "M1000 b07800\nT1500\n";
        auto s = llegeix_sessio(text);
        QStringList absents;
        auto e = esdeveniments_smf(smf_de_sessio(*s, {}, absents));
        QVERIFY(e);
        auto notes = [&](uint8_t estat) {
            QList<QPair<int, int>> v;
            for (const auto& m : *e)
                if (m.estat == estat) v << QPair<int, int>{int(std::lround(m.ms)), m.dada1};
            return v;
        };
        QCOMPARE(notes(0x90), (QList<QPair<int, int>>{{100, 60}, {350, 62}}));
        QCOMPARE(notes(0x80), (QList<QPair<int, int>>{{350, 60}, {1400, 62}}));
        QCOMPARE(notes(0x99), (QList<QPair<int, int>>{{400, 36}}));
        QCOMPARE(notes(0x89), (QList<QPair<int, int>>{{1500, 36}})); // a drum still sounding ends with the file
        auto part = esdeveniments_smf(smf_de_sessio(*s, {300, 1400}, absents));
        QCOMPARE(part->front().estat, 0xc0);
        QCOMPARE(part->front().dada1, 0x49);
        QCOMPARE(std::lround((*part)[1].ms), 50);
    }

    // A MIDI song's events are laid where it ran: held at tempo 1, going on where it was.
    // A song deleted since is named, and the rest is exported.
    void la_canco_midi_sona_on_va_sonar() {
        QTemporaryDir dir;
        const QString canco = escriu(dir.path() + "/dues notes.mid", canco_dues_notes());
        const QString sp = QUrl::toPercentEncoding(canco, "/");
        auto s = llegeix_sessio("brisola-diari 1\nS1000 open " + sp.toUtf8() + " type sequencer alias mid1\nS0 play mid1\n"
                                "S200 set mid1 tempo 1\nS800 set mid1 tempo 120\nS1000 stop mid1\n");
        QStringList absents;
        auto e = esdeveniments_smf(smf_de_sessio(*s, {}, absents));
        QList<QPair<int, int>> v;
        for (const auto& m : *e) v << QPair<int, int>{int(std::lround(m.ms)), m.estat};
        QCOMPARE(v, (QList<QPair<int, int>>{{1000, 0x90}, {1200, 0x80}, {2300, 0x90}, {2800, 0x80}}));
        QVERIFY(absents.isEmpty());
        QFile::remove(canco);
        smf_de_sessio(*s, {}, absents);
        QCOMPARE(absents, QStringList{"dues notes.mid"});
    }

    // The audio is what was heard: the note at its millisecond, the songs mixed, the
    // levels as set. A missing song is named; a folder that cannot be written, or a
    // cancelled export, leave no file.
    void la_interpretacio_en_audio_sona_com_va_sonar() {
        QTemporaryDir dir;
        const QString sp = QUrl::toPercentEncoding(QString(BRISOLA_SOURCE_DIR) + "/data/vals_de_la_lluna.wav", "/");
        const QString diari = escriu(dir.path() + "/s.diari",
                                     "brisola-diari 1\nM0 c00000\nM300 903c64\nM500 b07800\nT1000\n");
        const QString wav = dir.path() + "/s.wav";
        resultat_exportacio r = exporta_sessio(diari, {}, wav);
        QVERIFY2(r.error.isEmpty(), qPrintable(r.error));
        so sencer = llegeix_so(wav);
        QCOMPARE(sencer.mostres.size(), size_t(48000));
        const double inici = inici_ms(sencer); // the note's own attack comes after its time
        QVERIFY(inici >= 300 && inici < 306);
        QVERIFY(inici_ms(sencer, 850) < 0); // silenced at 800

        QVERIFY(exporta_sessio(diari, {200, 700}, dir.path() + "/part.flac").error.isEmpty());
        so part = llegeix_so(dir.path() + "/part.flac");
        QCOMPARE(part.mostres.size(), size_t(24000));
        QVERIFY(std::fabs(inici_ms(part) - (inici - 200)) < 1.5); // within one synthesizer block

        // The synthesizer at half its level sounds 6 dB lower.
        escriu(diari, "brisola-diari 1\nG0 5000 10000 10000 10000 10000 10000 10000 10000 10000 10000 10000 10000 "
                      "10000 10000 10000 10000 10000 10000\nM0 c00000\nM300 903c64\nT1000\n");
        QVERIFY(exporta_sessio(diari, {}, wav).error.isEmpty());
        QVERIFY(std::fabs(20 * std::log10(pic(llegeix_so(wav)) / pic(sencer)) + 6.02) < 0.3);

        escriu(diari, "brisola-diari 1\nS100 play " + sp.toUtf8() + "\nS0 play %2Fno%2Fhi%2Fes.wav\nT1000\n");
        r = exporta_sessio(diari, {}, wav);
        QCOMPARE(r.absents, QStringList{"es.wav"});
        QVERIFY(std::fabs(inici_ms(llegeix_so(wav)) - 100) < 30); // the song's own first sound, just after

        escriu(dir.path() + "/fitxer", "x");
        r = exporta_sessio(diari, {}, dir.path() + "/fitxer/s.wav");
        QVERIFY(!r.error.isEmpty());
        r = exporta_sessio(diari, {}, dir.path() + "/cancellada.wav", [](double) { return false; });
        QVERIFY(r.cancellada);
        QCOMPARE(QDir(dir.path()).entryList({"cancellada*"}), QStringList());
        QVERIFY(!exporta_sessio(dir.path() + "/cap.diari", {}, wav).error.isEmpty());
    }

    // In the window: the Persona menu's items, nothing for nobody, and a person's session
    // with the choices named as the menus name them, exported from its window.
    void la_sessio_d_una_persona_a_la_finestra() {
        banc b;
        diari d(b.cami("sessions"), {b.rellotge, [&] { return int64_t(b.rellotge.ara()) * 1000000; }, [] { return int64_t(0); }},
                {});
        midi_diari midi(b.midi, d);
        serveis s = b.amb(midi, b.joystick);
        finestra_main w(s);
        menu_persona persones(w, [](const QString&, const QString&) { return QString("Anna"); });
        QString desti;
        menu_sessions sessions(w, persones, d, nullptr,
                               {[&](const QString&, const QString&, const QString&, QString&) { return desti; },
                                [](const QString&) { return true; }, {}});
        QStringList items;
        for (QAction* a : w.menuBar()->actions())
            if (a->menu())
                for (QAction* item : a->menu()->actions()) items << item->text();
        QVERIFY(items.contains("Desa la interpretació…") && items.contains("Sessions…"));
        QVERIFY(!sessions.desa_interpretacio());
        QCOMPARE(b.caixes.avisos.last(), text_sessions({}, t_sense_persona));

        persones.persona_nova();
        QVERIFY(!sessions.obre_informe());
        w.mn_acces_Click(0);
        w.fmus_Click(2);
        w.midi_out.SendShortMessage(0x99, 36, 100);
        b.rellotge.avanca(500);
        QCOMPARE(sessions.sessions().size(), 1);
        d.tanca(); // what the writer holds is on the disk
        auto* informe = sessions.obre_informe();
        QVERIFY(informe);
        w.mn_idioma[1]->trigger(); // the open report follows the language, the modality named by its menu
        auto* taula = informe->findChild<QTableWidget*>("sessions");
        QCOMPARE(taula->horizontalHeaderItem(0)->text(), text_sessions("español", t_data));
        QCOMPARE(taula->item(0, 2)->text(), w.fmus[2]->text().remove('&').trimmed());
        auto* exportacio = sessions.desa_interpretacio();
        desti = b.cami("anna"); // no extension: MIDI
        exportacio->desa();
        QTRY_VERIFY(!exportacio->ocupada());
        QVERIFY(QFile::exists(b.cami("anna.mid")));
        auto sessio = llegeix_sessio(sessions.sessions()[0]);
        QStringList tries;
        for (const auto& t : sessio->tries) tries << t.clau + "=" + t.valor;
        QVERIFY2(tries.contains("modalitat=2 Bateria") && tries.contains("acces=0 Ratolí") &&
                     tries.contains("persona=Anna"),
                 qPrintable(tries.join(", ")));
    }
};

QTEST_MAIN(test_sessions)
#include "test_sessions.moc"
