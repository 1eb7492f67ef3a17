// Songs: the player's exact command strings on a fake media interface, and the
// real interpreter with its MIDI and WAV/MP3 players rendered offline.
#include "fakes/sistemes_falsos.h"
#include "platform/media_interpret.h"
#include "platform/sintetitzador.h"
#include "sound/midi_out.h"
#include "sound/midi_reproductor.h"

#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QUrl>
#include <QtTest>

#include <sndfile.h>

#include <cmath>

using namespace brisola;

namespace {

const QString dades = QString(BRISOLA_SOURCE_DIR) + "/data/";

// Remembers whether the instrument's MIDI output was closed when each command went out.
struct media_i_sortida : media_fals {
    const midi_fals* midi = nullptr;
    std::vector<bool> sortida_tancada;
    QString mciSendStringA(const QString& ordre, uint32_t* error = nullptr) override {
        sortida_tancada.push_back(midi->obert == 0);
        return media_fals::mciSendStringA(ordre, error);
    }
};

struct reproductor_fals {
    estat_compartit estat;
    midi_fals midi;
    missatges_fals caixes;
    media_i_sortida media;
    MIDI_OUT out{estat, midi, caixes};
    midi_reproductor r{estat, media, out, caixes, {"/cancons"}};
    reproductor_fals() {
        media.midi = &midi;
        out.OpenMidiOut(-1);
        estat.cancons = {{"3"}, {"", "Tema", "tema.midi"}, {"", "Vent", "vent de nit.mp3"}, {"", "Pluja", "pluja.ogg"}};
        media.fitxers = {"/cancons/tema.midi", "/cancons/vent de nit.mp3", "/cancons/pluja.ogg"};
    }
    QString sp(const QString& nom) { return media.ShortPath("/cancons/" + nom); }
};

// A one-track MIDI file: 96 ticks a beat, 100 beats a minute from `retard` ticks on, one note of two beats.
QByteArray canconeta(char retard = 0) {
    char pista[] = "\x00\xFF\x51\x03\x09\x27\xC0"  // tempo 600000 us a beat
                         "\x00\xC0\x00\x00\x90\x3C\x64"  // piano, C4
                         "\x81\x40\x3C\x00"              // 192 ticks later, running status: off
                         "\x00\xFF\x2F\x00";
    pista[0] = retard;
    QByteArray mtrk(pista, sizeof pista - 1);
    return QByteArray("MThd\0\0\0\x06\0\0\0\x01\0\x60", 14) + "MTrk" + QByteArray("\0\0\0", 3) +
           char(mtrk.size()) + mtrk;
}

struct interpret_real {
    QTemporaryDir dir;
    sintetitzador synth{48000};
    media_interpret media{synth, 48000};
    interpret_real() { synth.carrega("/usr/share/sounds/sf2/TimGM6mb.sf2"); }

    QString copia(const QString& origen, const QString& nom) {
        QString cami = dir.path() + "/" + nom;
        QFile::copy(origen, cami);
        return media.ShortPath(cami);
    }
    QString escriu(const QString& nom, const QByteArray& bytes) {
        QFile f(dir.path() + "/" + nom);
        f.open(QIODevice::WriteOnly);
        f.write(bytes);
        f.close();
        return media.ShortPath(f.fileName());
    }
    // The RMS of what the songs add to the output over `frames`, rendered as the audio thread does.
    double escolta(int frames) {
        std::vector<float> periode(512);
        double suma = 0;
        for (int fet = 0; fet < frames; fet += 256) {
            std::fill(periode.begin(), periode.end(), 0.0f);
            media.mescla(periode.data(), 256);
            for (float m : periode) suma += double(m) * m;
        }
        return std::sqrt(suma / (2.0 * frames));
    }
    // A mono WAV of `frames` frames held at one level.
    QString escriu_wav(const QString& nom, int freq, int frames, float nivell_escrit = 0.5f) {
        SF_INFO info{};
        info.samplerate = freq;
        info.channels = 1;
        info.format = SF_FORMAT_WAV | SF_FORMAT_FLOAT;
        QString cami = dir.filePath(nom);
        SNDFILE* f = sf_open(QFile::encodeName(cami).constData(), SFM_WRITE, &info);
        std::vector<float> nivell(size_t(frames), nivell_escrit);
        sf_writef_float(f, nivell.data(), frames);
        sf_close(f);
        return media.ShortPath(cami);
    }
    // The frames a song sounds at the level written, rendered until it has played to its end.
    int frames_sonors(const QString& sp) {
        std::vector<float> periode(512);
        int sonors = 0;
        QElapsedTimer t;
        t.start();
        while (ordre("status " + sp + " mode") != "stopped" && t.elapsed() < 5000) {
            std::fill(periode.begin(), periode.end(), 0.0f);
            media.mescla(periode.data(), 256);
            int abans = sonors;
            for (size_t i = 0; i < periode.size(); i += 2) sonors += periode[i] > 0.25f;
            if (sonors == abans) QTest::qWait(2); // the decoder is behind
        }
        return sonors;
    }
    QString ordre(const QString& o, uint32_t* error = nullptr) { return media.mciSendStringA(o, error); }
    int posicio() { return ordre("status Mid1 position").toInt(); }
};

} // namespace

class test_cancons : public QObject {
    Q_OBJECT

private slots:
    void a_midi_song_opens_with_the_output_given_up() {
        reproductor_fals f;
        f.media.fitxers.insert("/cancons/la meva cançó.mid");
        QString sp = f.sp("la meva cançó.mid");
        QVERIFY(!sp.contains(' '));
        f.media.respostes["status Mid1 length"] = "94080";
        f.media.respostes["Status Mid1 Tempo"] = "112";
        f.r.PlayMidiSong("/cancons/la meva cançó.mid");
        QCOMPARE(f.media.ordres, QStringList({"Stop Mid1", "Close Mid1", "open " + sp + " Type Sequencer Alias Mid1 ",
                                              "status Mid1 length", "play Mid1", "Status Mid1 Tempo"}));
        QCOMPARE(f.media.sortida_tancada, std::vector<bool>(6, true));
        QCOMPARE(f.estat.canco_llargada, 94080); // beyond 16 bits
        QCOMPARE(f.estat.canco_tempo, 112);
    }

    void each_kind_of_song_pauses_and_stops_its_own_way() {
        QCOMPARE(midi_reproductor::extensio_tres_darrers("tema.midi"), QString("IDI"));
        QCOMPARE(midi_reproductor::extensio_primer_punt("tema.midi"), QString("MID"));
        QCOMPARE(midi_reproductor::extensio_primer_punt("a.b.mid"), QString("B.M"));
        QCOMPARE(midi_reproductor::extensio_primer_punt("so.mp"), QString("MP "));
        reproductor_fals f;
        QString sp = f.sp("vent de nit.mp3");
        for (int16_t canco : {1, 2}) { // "tema.midi" is a MIDI song by its first dot
            f.estat.canco_actual = canco;
            f.r.SetSongTempo(1);
            f.r.SetSongTempo(120);
            f.r.StopCurrentSong();
        }
        QCOMPARE(f.media.ordres, QStringList({"Set Mid1 Tempo 1", "Set Mid1 Tempo 120", "Stop Mid1", "Close Mid1",
                                              "pause " + sp, "resume " + sp, "close " + sp.leftJustified(256)}));
        QCOMPARE(f.media.ordres.last().size(), 262);
    }

    void a_file_that_is_no_song_plays_nothing() {
        reproductor_fals f;
        f.estat.canco_actual = 3;
        f.r.PlayMediaSong("/cancons/pluja.ogg");
        QVERIFY(f.media.ordres.isEmpty());
        QCOMPARE(f.estat.canco_actual, 0);
        QVERIFY(f.caixes.avisos.isEmpty());

        f.estat.canco_actual = 1;
        f.r.PlayMidiSong("/cancons/absent.mid"); // missing: the instrument keeps its output
        QVERIFY(f.media.ordres.isEmpty() && f.midi.obert != 0);
        f.media.refusades = {"open " + f.sp("tema.midi") + " Type Sequencer Alias Mid1 "};
        f.r.PlayMidiSong("/cancons/tema.midi"); // there, but no song: the output given up comes back
        QCOMPARE(f.media.ordres.size(), 3);
        QVERIFY(f.midi.obert != 0);
        QCOMPARE(f.estat.canco_actual, 0);
        f.estat.canco_actual = 2;
        f.media.refusades = {"play " + f.sp("vent de nit.mp3")};
        f.r.PlayMediaSong("/cancons/vent de nit.mp3");
        QCOMPARE(f.estat.canco_actual, 0);
        QCOMPARE(f.caixes.avisos, QStringList({
            "No es pot reproduir la cançó absent.mid: el fitxer no existeix o no és una cançó que Brisola sàpiga llegir.",
            "No es pot reproduir la cançó tema.midi: el fitxer no existeix o no és una cançó que Brisola sàpiga llegir.",
            "No es pot reproduir la cançó vent de nit.mp3: el fitxer no existeix o no és una cançó que Brisola sàpiga "
            "llegir."}));
    }

    void a_midi_song_sounds_holds_in_silence_and_resumes_where_it_stood() {
        interpret_real m;
        QString sp = m.copia(dades + "passeig.mid", "el meu passeig à.mid");
        QCOMPARE(m.ordre("open " + sp + " Type Sequencer Alias Mid1 "), QString());
        QCOMPARE(m.ordre("status Mid1 length"), QString("94080")); // 49 bars of four beats at 480 ticks
        QCOMPARE(m.ordre("Status Mid1 Tempo"), QString("112"));
        QCOMPARE(m.escolta(4800), 0.0); // opened, not yet playing
        m.ordre("play Mid1");
        QVERIFY(m.escolta(48000) > 0.005);
        int abans = m.posicio();
        QVERIFY(abans > 800 && abans < 1000); // a second at 112 beats a minute
        m.ordre("Set Mid1 Tempo 1");
        QCOMPARE(m.ordre("Status Mid1 Tempo"), QString("1"));
        QCOMPARE(m.escolta(256), 0.0); // silent from the next period on
        m.escolta(48000);
        QCOMPARE(m.posicio(), abans);
        m.ordre("set mid1 tempo 112");
        QVERIFY(m.escolta(24000) > 0.005);
        QVERIFY(m.posicio() > abans && m.posicio() < abans + 500);
        m.ordre("Stop Mid1");
        m.ordre("Close Mid1");
        uint32_t error = MCI_OK;
        QCOMPARE(m.ordre("status Mid1 position", &error), QString()); // nothing open answers nothing
        QCOMPARE(error, uint32_t(MCIERR_INVALID_DEVICE_NAME));
    }

    void a_song_at_full_scale_raised_over_the_instrument_stays_within_the_output() {
        interpret_real m;
        const QString sp = m.escriu_wav("plena.wav", 48000, 48000, 0.99f);
        m.media.set_guany(2.0f); // the accompaniment at +6 dB
        m.ordre("play " + sp);
        float maxim = 0;
        for (int i = 0; i < 40; ++i) {
            std::vector<float> periode(512, 0.5f); // the instrument's own notes under it
            m.media.espera_cancons(256);
            m.media.mescla(periode.data(), 256);
            for (float v : periode) maxim = std::max(maxim, std::fabs(v));
        }
        QVERIFY2(maxim <= 1.0f && maxim > 0.95f, qPrintable(QString::number(maxim)));
    }

    void wav_and_mp3_songs_sound_pause_and_resume() {
        for (const QString& nom : {QString("vals_de_la_lluna.wav"), QString("festa.mp3")}) {
            interpret_real m;
            int despertades = 0; // an output at rest wakes for a song
            m.media.set_despertador([&] { ++despertades; });
            QString sp = m.copia(dades + nom, "cançó " + nom);
            QCOMPARE(m.ordre("status " + sp + " mode"), QString());
            m.ordre("play " + sp);
            QCOMPARE(despertades, 1); // the status asked before wakes nothing
            QTest::qWait(100); // the decoder fills its ring on its own thread
            QCOMPARE(m.ordre("status " + sp + " mode"), QString("playing"));
            QVERIFY2(m.escolta(9600) > 0.01, qPrintable(nom));
            QVERIFY(m.media.sona());
            m.ordre("pause " + sp);
            QCOMPARE(m.escolta(256), 0.0);
            QVERIFY2(!m.media.sona(), "a paused song lets the output rest");
            QCOMPARE(m.ordre("status " + sp + " mode"), QString("paused"));
            m.ordre("resume " + sp);
            QVERIFY(m.escolta(9600) > 0.01);
            m.ordre("close " + sp.leftJustified(256));
            QCOMPARE(m.ordre("status " + sp + " mode"), QString());
            QCOMPARE(m.escolta(256), 0.0);
        }
    }

    void a_song_cut_or_deleted_while_it_plays_just_ends() {
        interpret_real m;
        QString sp = m.copia(dades + "vals_de_la_lluna.wav", "tallada.wav");
        QString cami = QUrl::fromPercentEncoding(sp.toLatin1());
        m.ordre("play " + sp);
        QTest::qWait(50);
        QVERIFY(QFile::resize(cami, 20000)); // cut to a fraction of a second
        QTRY_COMPARE_WITH_TIMEOUT(m.escolta(4800) >= 0 ? m.ordre("status " + sp + " mode") : QString(), QString("stopped"), 10000);
        // Deleted while it plays: the player still pauses and closes it, as the program does, by its song row.
        estat_compartit estat;
        midi_fals midi;
        missatges_fals caixes;
        MIDI_OUT out{estat, midi, caixes};
        midi_reproductor r{estat, m.media, out, caixes, {m.dir.path()}};
        estat.cancons = {{"1"}, {"", "Esborrada", "esborrada.mp3"}};
        estat.canco_actual = 1;
        QFile::copy(dades + "festa.mp3", m.dir.filePath("esborrada.mp3"));
        r.PlayMediaSong(r.cami_canco());
        QVERIFY(QFile::remove(m.dir.filePath("esborrada.mp3")));
        QTest::qWait(100);
        QVERIFY(m.escolta(9600) > 0.01); // what is open plays on
        r.SetSongTempo(1);
        QCOMPARE(m.escolta(256), 0.0);
        r.SetSongTempo(112);
        QVERIFY(m.escolta(9600) > 0.01);
        r.StopCurrentSong();
        QCOMPARE(m.escolta(256), 0.0);
    }

    void a_resampled_song_plays_to_its_last_frame() {
        interpret_real m;
        QString sp = m.escriu_wav("curta.wav", 44100, 4410); // a tenth of a second: 4800 frames at 48 kHz
        m.ordre("play " + sp);
        QVERIFY(std::abs(m.frames_sonors(sp) - 4800) <= 2);
        uint32_t error = MCI_OK;
        m.ordre("play " + m.escriu_wav("greu.wav", 100, 100), &error); // too far from 48 kHz to be resampled
        QCOMPARE(error, uint32_t(MCIERR_INVALID_FILE));
    }

    void bad_files_are_refused_and_a_good_one_plays_to_its_end() {
        interpret_real m;
        uint32_t error = MCI_OK;
        m.ordre("open " + m.escriu("soroll.mid", "MThd no gaire") + " Type Sequencer Alias Mid1 ", &error);
        QCOMPARE(error, uint32_t(MCIERR_INVALID_FILE));
        QCOMPARE(m.ordre("status Mid1 length"), QString());
        m.ordre("play " + m.escriu("soroll.mp3", QByteArray(4000, 'x')), &error);
        QCOMPARE(error, uint32_t(MCIERR_INVALID_FILE));
        m.ordre("open %2Fno%2Fhi%2Fes.mid Type Sequencer Alias Mid1", &error);
        QCOMPARE(error, uint32_t(MCIERR_FILE_NOT_FOUND));
        QCOMPARE(m.ordre("seek Mid1 to start", &error), QString());
        QCOMPARE(error, uint32_t(MCIERR_UNRECOGNIZED_COMMAND));
        QCOMPARE(m.media.ShortPath(m.dir.path() + "/absent.wav"), QString());
        m.ordre("open " + m.escriu("curta.mid", canconeta()) + " type sequencer alias mid1"); // a short one, to its end
        QCOMPARE(m.ordre("status Mid1 length"), QString("192"));
        QCOMPARE(m.ordre("Status Mid1 Tempo"), QString("100"));
        m.ordre("play Mid1");
        m.escolta(48000 * 3 / 2); // 1.2 s of song, and some more
        QCOMPARE(m.ordre("status Mid1 position"), QString("192"));
        m.ordre("open " + m.escriu("tardana.mid", canconeta(96)) + " type sequencer alias mid1");
        QCOMPARE(m.ordre("Status Mid1 Tempo"), QString("120")); // its tempo comes a beat in
    }
};

QTEST_MAIN(test_cancons)
#include "test_cancons.moc"
