// Sessions: the journal as written and read back, its ends, its export to MIDI
// and audio, and its windows in the instrument.
#include "fakes/banc.h"
#include "persones/etapa_punter.h"
#include "persones/menu_persona.h"
#include "platform/lector_smf.h"
#include "platform/midi_sistema_linux.h"
#include "platform/sintetitzador.h"
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
#include <sys/resource.h>
#include <sys/stat.h>

#include <csignal>

#include <cmath>
#include <fcntl.h>

#include "fakes/fitxers.h"

using namespace brisola;

namespace {


// A journal run on a hand-moved clock: a message's moment is the clock's now, heard 10 ms later.
struct banc_diari {
    QTemporaryDir dir;
    rellotge_fals rellotge;
    QStringList avisos;
    bool actiu = true;
    std::array<int, 4> lloc{500, 500, 500, 500};
    QString modalitat = "0 Ritme i notes";
    media_fals media;
    std::function<int64_t()> latencia = [] { return int64_t(10000000); };
    diari d{dir.path() + "/sessions", {rellotge, [this] { return int64_t(rellotge.ara()) * 1000000; }, [this] { return latencia(); }},
            "/sf.sf2"};
    banc_diari() {
        d.escolta(media);
        d.connecta({[this] { return std::optional(lloc); }, [this] { return escriptor_diari::info{{"modalitat", modalitat}}; },
                    [this] { return actiu; }, [this](int t, const QStringList& dades) { avisos << text_sessions({}, t, dades); }});
    }
    // In the order they began: a second session in the same second is "…-2".
    QStringList fitxers(const QString& persona = "Anna") const {
        QStringList noms = QDir(d.carpeta(persona)).entryList({"*.diari"}, QDir::Files);
        auto ordre = [](const QString& n) { return std::pair(n.left(19), n.mid(20).section('.', 0, 0).toInt()); };
        std::sort(noms.begin(), noms.end(), [&](const QString& a, const QString& b) { return ordre(a) < ordre(b); });
        QStringList f;
        for (const QString& n : noms) f << d.carpeta(persona) + "/" + n;
        return f;
    }
    sessio llegeix(int i = 0) {
        d.tanca();
        d.espera(); // the writer's thread writes what it holds
        return *llegeix_sessio(fitxers().value(i));
    }
    QStringList cancons(int i) {
        QStringList v;
        for (const auto& o : llegeix(i).cancons) v << o.text;
        return v;
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
        // A system status is no message of the instrument's: it would end a track or open a SysEx.
        s = llegeix_sessio(QByteArray("brisola-diari 1\nM0 903c64\nM1 ff2f00\nM1 f00501\nL10 7 300\nM1 803c00\n"));
        QCOMPARE(s->midi.size(), size_t(2));
        QCOMPARE(s->passades, 2);
        QCOMPARE(s->llacunes.size(), size_t(1));
        QCOMPARE(s->llacunes[0].fins_ms, 312);
        QCOMPARE(s->llacunes[0].perduts, 7);
    }

    // A full queue drops events, and says how many and from when to when.
    void una_cua_plena_deixa_una_llacuna() {
        QTemporaryDir dir;
        const QString cami = dir.path() + "/s.diari";
        auto e = escriptor_diari::obre(cami, 0, {});
        const int n = 40000; // several queues' worth, faster than the writer empties them
        for (int i = 0; i < n; ++i) e->escriu('M', int64_t(i) * 1000000, "903c64");
        const int64_t perduts = int64_t(e->perduts());
        e.reset();
        auto s = llegeix_sessio(cami);
        QVERIFY(perduts > 0);
        QCOMPARE(int64_t(s->midi.size()) + perduts, n);
        int64_t en_llacunes = 0;
        for (const auto& l : s->llacunes) en_llacunes += l.perduts;
        QCOMPARE(en_llacunes, perduts);
        QVERIFY(s->llacunes.front().fins_ms > s->llacunes.front().ms);
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
        QTRY_COMPARE(b.fitxers().size(), 1);
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
        QCOMPARE(s.punter.size(), size_t(2)); // where it was at the start, and where it went
        QCOMPARE(s.punter.back().ms, 50); // the pointer's moves at the next twentieth of a second
        QCOMPARE(s.punter.back().per_mil, (std::array<int, 4>{100, 200, 300, 400}));
        QCOMPARE(s.pulsador.size(), size_t(2));
    }

    // A note for the built-in synthesizer is kept where it was heard: on time, one
    // latency after it was sent; sent late (the window held up past its frame), where
    // the synthesizer placed it; dropped as too late, not at all.
    void cada_nota_es_desa_on_va_sonar() {
        int64_t enviat = 0;
        double ara = 0; // ns: the message's moment, and the audio thread's
        sintetitzador synth(48000, [&] { return enviat; }, [&] { return int64_t(std::llround(ara)); });
        QVERIFY(synth.carrega("/usr/share/sounds/sf2/TimGM6mb.sf2"));
        banc_diari b; // ends its journal, which asks the synthesizer, first
        b.latencia = [&] { return synth.latencia_ns() + synth.desfasament_del_sentit(); };
        synth.set_periode(448); // with the wake-up margin, the bench's 10 ms
        b.d.escolta_sintetitzador([&]() -> std::optional<diari::sentit> {
            if (const auto s = synth.treu_sentit()) return diari::sentit{s->missatge, s->ns};
            return std::nullopt;
        });
        alsa_fals alsa;
        midi_sistema_linux real(synth, alsa);
        midi_diari midi(real, b.d);
        HMIDIOUT h = 0;
        QCOMPARE(midi.midiOutOpen(h, MIDI_MAPPER), MMSYSERR_NOERROR);
        std::vector<float> periode(2 * 448);
        auto sona_fins = [&](double ms) {
            for (; ara < ms * 1e6; ara += 448 * 1e9 / 48000) synth.render(periode.data(), 448);
        };
        auto toca = [&](long ms, uint32_t nota) {
            b.rellotge.avanca(ms - b.rellotge.ara());
            enviat = int64_t(ms) * 1000000;
            midi.midiOutShortMsg(h, nota);
        };
        b.d.set_persona("Anna");
        sona_fins(100);
        toca(100, 0x0013c0); // an organ, which sounds on until its note-off
        toca(100, 0x643c90);
        sona_fins(180);
        toca(160, 0x643e90); // its frame, at 170 ms, went by in the period of 168 ms
        sona_fins(190);      // placed at the next period's start: heard at 186.7 ms
        sona_fins(420);
        toca(300, 0x644090); // over 100 ms late: never played
        sona_fins(440);
        ara += 50e6; // a callback 50 ms late while the organ sounds: the sound goes on at its pace
        sona_fins(600);
        toca(600, 0x644390);
        b.d.canco("play %2Fs%2Fa.wav"); // a song started with the note is heard with it
        sona_fins(650);
        const sessio s = b.llegeix();
        std::vector<std::pair<int64_t, int>> notes;
        for (const auto& m : s.midi)
            if (m.estat == 0x90) notes.push_back({m.ms, m.dada1});
        QCOMPARE(notes.size(), size_t(3));
        QCOMPARE(std::vector(notes.begin(), notes.begin() + 2), (std::vector<std::pair<int64_t, int>>{{10, 0x3c}, {87, 0x3e}}));
        QCOMPARE(s.cancons.size(), size_t(1));
        QVERIFY2(std::abs(s.cancons[0].ms - notes[2].first) <= 1, qPrintable(QString("%1 %2").arg(s.cancons[0].ms).arg(notes[2].first)));
    }

    // Ten minutes without sound or a song end the session, counted from the last note,
    // or the song's stop or own end; the next sound, another person, or the person's
    // journal turned off do too.
    void una_sessio_acaba_amb_el_silenci_o_una_altra_persona() {
        banc_diari b;
        b.d.set_persona("Anna");
        b.d.midi(0x643c90);
        b.d.canco("open %2Fs%2Fa.mid type sequencer alias mid1");
        b.d.canco("play mid1");
        b.rellotge.avanca(diari::silenci_ms + 1000); // a song plays on: the session goes on
        QVERIFY(b.d.en_curs());
        b.media.acabades.midi = 1;
        b.rellotge.avanca(diari::silenci_ms - 1000);
        QVERIFY(b.d.en_curs());
        b.rellotge.avanca(2000);
        QVERIFY(!b.d.en_curs());
        b.rellotge.avanca(1000);
        b.d.midi(0x643c90);
        QTRY_COMPARE(b.fitxers().size(), 2);
        b.rellotge.avanca(diari::silenci_ms - 1000);
        b.d.midi(0x643c90); // the silence counts from the last note heard
        b.rellotge.avanca(2000);
        QVERIFY(b.d.en_curs());
        b.d.canco("play mid1");
        b.rellotge.avanca(diari::silenci_ms + 1000);
        b.d.canco("stop mid1"); // ...or from the song stopped
        b.rellotge.avanca(diari::silenci_ms - 1000);
        QVERIFY(b.d.en_curs());
        b.d.canco("play %2Fs%2Fb.wav");
        b.rellotge.avanca(diari::silenci_ms + 1000);
        b.media.acabades.flux = 1; // ...or from a recorded song's own end
        b.rellotge.avanca(diari::silenci_ms - 1000);
        QVERIFY(b.d.en_curs());
        b.rellotge.avanca(2000);
        QVERIFY(!b.d.en_curs());
        b.d.set_persona("Biel");
        QVERIFY(!b.d.en_curs());
        b.actiu = false;
        b.d.midi(0x643c90);
        QVERIFY(b.fitxers("Biel").isEmpty());
        b.actiu = true;
        b.d.midi(0x643c90);
        b.actiu = false;
        b.rellotge.avanca(diari::periode_ms);
        QVERIFY(!b.d.en_curs());
    }

    // The services' taps: a command the player refused is not kept, one it took is;
    // levels reach the output and the journal.
    void les_costures_noten_el_que_fa_l_instrument() {
        banc_diari b;
        media_diari media(b.media, b.d);
        struct : volum_sistema {
            guanys_so g;
            void set_guanys(const guanys_so& nou) override { g = nou; }
        } sortida;
        volum_diari volum(sortida, b.d);
        b.d.set_persona("Anna");
        b.media.refusades.insert("play %2Fno.wav");
        uint32_t error = MCI_OK;
        media.mciSendStringA("play %2Fno.wav", &error);
        QCOMPARE(error, uint32_t(MCIERR_INVALID_FILE)); // the instrument still hears of it
        QVERIFY(!b.d.en_curs());
        guanys_so g;
        g.sintetitzador = 0.5;
        volum.set_guanys(g);
        media.mciSendStringA("play %2Fsi.wav"); // a song that sounds begins a session
        QCOMPARE(sortida.g.sintetitzador, 0.5);
        sessio s = b.llegeix();
        QCOMPARE(s.cancons.size(), size_t(1));
        QCOMPARE(s.cancons[0].text, QString("play %2Fsi.wav"));
        QCOMPARE(s.nivells.size(), size_t(1));
        QCOMPARE(s.nivells[0].guanys.sintetitzador, 0.5);
    }

    // A new session begins with the song as the player has it: which, where, running
    // or held; one that played to its end is not played again.
    void una_sessio_nova_comenca_amb_la_canco_on_sona() {
        banc_diari b;
        b.d.set_persona("Anna");
        b.d.midi(0x643c90);
        QTRY_COMPARE(b.fitxers().size(), 1); // made before the next one in the same second, which is "…-2"
        b.rellotge.avanca(100);
        b.d.canco("open %2Fs%2Fa.mid type sequencer alias Mid1");
        b.d.canco("play Mid1");
        for (int i = 0; i < 10; ++i) { // stops and moves, as in movement mode
            b.d.canco("Set Mid1 Tempo 1");
            b.d.canco("Set Mid1 Tempo 120");
        }
        b.d.canco("Set Mid1 Tempo 1");
        b.rellotge.avanca(diari::silenci_ms + 1000);
        QVERIFY(!b.d.en_curs());
        b.media.respostes["status mid1 position"] = "960";
        b.d.canco("Set Mid1 Tempo 120");
        QCOMPARE(b.cancons(1), (QStringList{"open %2Fs%2Fa.mid type sequencer alias mid1", "seek mid1 to 960", "play mid1"}));
        QCOMPARE(b.llegeix(0).cancons.front().ms, 110); // heard one latency after it was given

        b.d.canco("Set Mid1 Tempo 1");
        b.rellotge.avanca(1000);
        b.d.midi(0x643c90);
        QCOMPARE(b.cancons(2).mid(1, 2), (QStringList{"set mid1 tempo 1", "seek mid1 to 960"}));
        b.d.canco("Set Mid1 Tempo 120");
        b.media.acabades.midi = 1;
        b.rellotge.avanca(1000);
        QVERIFY(b.cancons(3).contains("play mid1"));
        b.d.midi(0x643c90);
        QVERIFY(!b.cancons(4).contains("play mid1"));

        b.d.canco("close mid1");
        b.d.canco("play %2Fs%2Fb.wav");
        b.d.canco("pause %2Fs%2Fb.wav");
        b.media.respostes["status %2Fs%2Fb.wav position"] = "1500";
        QCOMPARE(b.cancons(5), (QStringList{"play %2Fs%2Fb.wav", "pause %2Fs%2Fb.wav"}));
        b.d.midi(0x643c90);
        QCOMPARE(b.cancons(6), (QStringList{"play %2Fs%2Fb.wav from 1500", "pause %2Fs%2Fb.wav"}));
    }

    // A folder that cannot be made is said once and play goes on; a full disk stops the journal.
    void una_carpeta_impossible_o_un_disc_ple_no_aturen_la_musica() {
        banc_diari b;
        escriu(b.dir.path() + "/fitxer", "x");
        diari d(b.dir.path() + "/fitxer/sessions",
                {b.rellotge, [&] { return int64_t(b.rellotge.ara()) * 1000000; }, [] { return int64_t(0); }}, {});
        QStringList avisos;
        d.connecta({{}, {}, [] { return true; }, [&](int t, const QStringList&) { avisos << QString::number(t); }});
        d.set_persona("Anna");
        d.midi(0x643c90);
        d.midi(0x643e90);
        QTRY_VERIFY((b.rellotge.avanca(diari::periode_ms), !d.en_curs()));
        d.midi(0x643c90);
        QCOMPARE(avisos, QStringList{QString::number(t_no_es_pot_escriure)});
        // Tried again once a minute at most, not on every note.
        QFile::remove(b.dir.path() + "/fitxer");
        b.rellotge.avanca(1000);
        d.midi(0x643c90);
        QVERIFY(!d.en_curs());
        b.rellotge.avanca(diari::reintent_ms);
        d.midi(0x643c90);
        QVERIFY(d.en_curs());
        d.tanca();
        d.espera();
        QCOMPARE(mode(b.dir.path() + "/fitxer"), 0700); // made the owner's, above the sessions too

        // The journal's own full disk: said once, the session ends, and no later one tries.
        b.d.set_persona("Anna");
        ::signal(SIGXFSZ, SIG_IGN);
        rlimit abans{};
        ::getrlimit(RLIMIT_FSIZE, &abans);
        rlimit petit = abans;
        petit.rlim_cur = 400;
        ::setrlimit(RLIMIT_FSIZE, &petit);
        for (int i = 0; i < 40; ++i) b.d.midi(0x643c90);
        QTRY_VERIFY_WITH_TIMEOUT((b.rellotge.avanca(diari::periode_ms), !b.d.en_curs()), 2000);
        ::setrlimit(RLIMIT_FSIZE, &abans);
        b.d.midi(0x643c90);
        QVERIFY(!b.d.en_curs());
        QCOMPARE(b.avisos.size(), 1);
        QCOMPARE(b.avisos[0], text_sessions({}, t_disc_ple, {b.fitxers().value(0)}));

        escriptor_diari ple(::open("/dev/full", O_WRONLY), 0, {{"persona", "Anna"}});
        for (int i = 0; i < 10 && !ple.fallat(); ++i) {
            ple.escriu('M', 0, "903c64");
            QTest::qWait(150);
        }
        QVERIFY(ple.fallat());
        ple.escriu('M', 0, "903c64"); // nothing more is queued
        QCOMPARE(ple.perduts(), uint64_t(0));
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
        QCOMPARE(std::find_if(e->begin(), e->end(), [](const auto& m) { return m.estat == 0x90; })->dada2, 0x64);
        QCOMPARE(notes(0x80), (QList<QPair<int, int>>{{350, 60}, {1400, 62}}));
        QCOMPARE(notes(0x99), (QList<QPair<int, int>>{{400, 36}}));
        QCOMPARE(notes(0x89), (QList<QPair<int, int>>{{1500, 36}})); // a drum still sounding ends with the file
        auto part = esdeveniments_smf(smf_de_sessio(*s, {300, 1400}, absents));
        QCOMPARE(part->front().estat, 0xc0);
        QCOMPARE(part->front().dada1, 0x49);
        QCOMPARE(std::lround((*part)[1].ms), 50);
        // What was lost may have been the silencing: the note ends at the gap.
        s = llegeix_sessio(QByteArray("brisola-diari 1\nM0 903c64\nL100 3 200\nM500 b07800\n"));
        e = esdeveniments_smf(smf_de_sessio(*s, {}, absents));
        QCOMPARE(notes(0x80), (QList<QPair<int, int>>{{100, 60}}));
        // All Notes Off, as the synthesizer heard it when the output closed, ends them too.
        s = llegeix_sessio(QByteArray("brisola-diari 1\nM0 903c64\nM100 b07b00\nT1000\n"));
        e = esdeveniments_smf(smf_de_sessio(*s, {}, absents));
        QCOMPARE(notes(0x80), (QList<QPair<int, int>>{{100, 60}}));
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

    // A session that began with the song in its middle: it goes on from there.
    void la_canco_continua_on_era() {
        QTemporaryDir dir;
        const QString sp = QUrl::toPercentEncoding(escriu(dir.path() + "/c.mid", canco_dues_notes()), "/");
        auto s = llegeix_sessio("brisola-diari 1\nS0 open " + sp.toUtf8() + " type sequencer alias mid1\n"
                                "S0 seek mid1 to 240\nS0 play mid1\nT2000\n");
        QStringList absents;
        auto e = esdeveniments_smf(smf_de_sessio(*s, {}, absents));
        QList<QPair<int, int>> v;
        for (const auto& m : *e) v << QPair<int, int>{int(std::lround(m.ms)), m.estat};
        QCOMPARE(v, (QList<QPair<int, int>>{{250, 0x90}, {750, 0x80}}));
        const QString wav = escriu(dir.path() + "/s.diari", "brisola-diari 1\nS0 open " + sp.toUtf8() +
                                                             " type sequencer alias mid1\nS0 seek mid1 to 240\n"
                                                             "S0 play mid1\nT1000\n")
                                .replace(".diari", ".wav");
        QVERIFY(exporta_sessio(dir.path() + "/s.diari", {}, wav).error.isEmpty());
        const double inici = inici_ms(llegeix_so(wav));
        QVERIFY2(std::fabs(inici - 250) < 10, qPrintable(QString::number(inici)));
    }

    // Live, the song has a synthesizer of its own: in the file its channels are apart
    // from the pointer's, so its program and pedal do not reach the pointer's notes.
    void la_canco_te_canals_propis() {
        QTemporaryDir dir;
        const QByteArray pista("\x00\xc0\x28\x00\xb0\x40\x7f\x00\xb9\x07\x28\x00\x90\x40\x64\x00\x99\x24\x64"
                               "\x83\x60\x80\x40\x00\x00\x89\x24\x00\x00\xff\x2f\x00",
                               32);
        const QString sp = QUrl::toPercentEncoding(
            escriu(dir.path() + "/pedal.mid", QByteArray("MThd\0\0\0\x06\0\x01\0\x01\x01\xe0", 14) + "MTrk" +
                                                  QByteArray("\0\0\0", 3) + char(pista.size()) + pista),
            "/");
        auto s = llegeix_sessio("brisola-diari 1\nM0 c00000\nS0 open " + sp.toUtf8() + " type sequencer alias mid1\n"
                                "S0 play mid1\nS300 stop mid1\nM700 903c64\nM200 b07800\nM100 992a50\nT2000\n");
        QStringList absents;
        auto e = esdeveniments_smf(smf_de_sessio(*s, {}, absents));
        // The song's drums stay on the drums' channel, which gives the pointer's drums their own volume back.
        QVERIFY(std::any_of(e->begin(), e->end(), [](const auto& m) { return m.estat == 0x99 && m.dada1 == 0x24; }));
        int volum_bateria = -1;
        for (const auto& m : *e)
            if (m.estat == 0xb9 && m.dada1 == 7 && m.ms < 1300) volum_bateria = m.dada2;
        QCOMPARE(volum_bateria, 100);
        QSet<int> canals_canco;
        for (const auto& m : *e) {
            if (m.dada1 == 0x40 || m.dada1 == 0x28) canals_canco << (m.estat & 0x0f);
            if ((m.estat & 0x0f) == 0) QVERIFY(!(m.estat == 0xb0 && m.dada1 == 64) && !(m.estat == 0xc0 && m.dada1 == 40));
        }
        QCOMPARE(canals_canco.size(), 1);
        QVERIFY(!canals_canco.contains(0) && !canals_canco.contains(9));
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
        QVERIFY(sencer.mostres.size() >= size_t(48000)); // and the reverberation's tail
        const double inici = inici_ms(sencer); // the note's own attack comes after its time
        QVERIFY(inici >= 300 && inici < 306);
        QVERIFY(inici_ms(sencer, 850) < 0); // silenced at 800

        QCOMPARE(mode(wav), 0600);
        QVERIFY(exporta_sessio(diari, {200, 700}, dir.path() + "/part.flac").error.isEmpty());
        so part = llegeix_so(dir.path() + "/part.flac");
        QVERIFY(part.mostres.size() >= size_t(24000));
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

        // A note still sounding at the end rings out; a soundfont no longer there is named.
        escriu(diari, "brisola-diari 1\nI0 soundfont /no/hi/es.sf2\nM300 99247f\nT400\n");
        r = exporta_sessio(diari, {}, wav);
        QCOMPARE(r.soundfont, sintetitzador::troba_soundfont());
        so cua = llegeix_so(wav);
        QVERIFY(cua.mostres.size() > size_t(400 * 48) && cua.mostres.size() <= size_t(2400 * 48));
        QVERIFY(std::fabs(cua.mostres.back()) < 1e-3);
        QVERIFY(exporta_sessio(diari, {}, dir.path() + "/s.mid").error.isEmpty());
        QCOMPARE(mode(dir.path() + "/s.mid"), 0600);

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
        etapa_punter punter(b.rellotge, b.joystick, b.tintseer);
        punter.enganxa(w);
        menu_persona persones(w, [](const QString&, const QString&) { return QString("Anna"); });
        QString desti;
        menu_sessions sessions(w, persones, d, &punter,
                               {[&](const QString&, const QString&, const QString&, QString&) { return desti; },
                                [](const QString&) { return true; }, {}});
        QStringList items;
        for (QAction* a : w.menuBar()->actions())
            if (a->menu())
                for (QAction* item : a->menu()->actions()) items << item->text();
        QVERIFY(items.contains("Desa la interpretació…") && items.contains("Sessions…"));
        QVERIFY(!sessions.desa_interpretacio());
        QCOMPARE(b.caixes.personals, QStringList{text_sessions({}, t_sense_persona)});

        persones.persona_nova();
        QVERIFY(!sessions.obre_informe());
        w.mn_acces_Click(0);
        w.fmus_Click(2);
        // The pointer's place is kept per mille, as the hand reached it and as the reach spread it.
        punter.set_abast({0.25, 0.5, 0.75, 1.0});
        const QPointF on(0.5 * w.pantalla->width(), 0.9 * w.pantalla->height());
        QMouseEvent mou(QEvent::MouseMove, on, w.pantalla->mapToGlobal(on), Qt::NoButton, Qt::NoButton, Qt::NoModifier);
        QCoreApplication::sendEvent(w.pantalla, &mou);
        w.midi_out.SendShortMessage(0x99, 36, 100);
        b.rellotge.avanca(520);
        w.mn_ritme[2]->trigger(); // a choice is kept as it is made
        QCoreApplication::processEvents();
        // Another person's setup is theirs: none of it reaches the session that ends.
        QFile biel(persones.carpeta() + "/Biel.ini");
        QVERIFY(biel.open(QIODevice::WriteOnly));
        biel.write("[persona]\nacces=0\nmodalitat=1\ninstrument=5\ndiari=0\n");
        biel.close();
        persones.tria("Biel");
        w.midi_out.SendShortMessage(0x99, 36, 100); // Biel keeps no journal: his play is not kept
        persones.tria("Anna");
        d.espera(); // what the writer holds is on the disk
        QVERIFY(QDir(d.carpeta("Biel")).entryList({"*.diari"}, QDir::Files).isEmpty());
        QCOMPARE(sessions.sessions().size(), 1);
        QVERIFY(llegeix_sessio(sessions.sessions()[0])->midi.back().ms < 520);
        QCOMPARE(llegeix_sessio(sessions.sessions()[0])->punter.front().per_mil, (std::array<int, 4>{500, 900, 500, 800}));
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
        QCOMPARE(b.caixes.personals.back(), text_sessions("español", t_exportat, {b.cami("anna.mid")})); // kept out of standard error
        auto sessio = llegeix_sessio(sessions.sessions()[0]);
        QStringList tries;
        for (const auto& t : sessio->tries) tries << t.clau + "=" + t.valor + (t.ms ? "@" + QString::number(t.ms) : "");
        QVERIFY2(tries.contains("modalitat=2 Bateria") && tries.contains("acces=0 Ratolí") &&
                     tries.contains("persona=Anna") && tries.filter(QRegularExpression("^velocitat=.*@520$")).size() == 1,
                 qPrintable(tries.join(", ")));
    }
};

QTEST_MAIN(test_sessions)
#include "test_sessions.moc"
