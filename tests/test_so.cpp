// MIDI output: message bytes, the device list, errors, and the built-in synthesizer's sound.
#include "fakes/sistemes_falsos.h"
#include "app/estat.h"
#include "persones/nivells.h"
#include "platform/llista.h"
#include "platform/midi_sistema_linux.h"
#include "platform/ports_rtmidi.h"
#include "platform/sintetitzador.h"
#include "sound/midi_cmd.h"
#include "sound/midi_out.h"

#include <QtTest>

#include <cmath>

using namespace brisola;

namespace {

double rms(const std::vector<float>& mostres) {
    double suma = 0;
    for (float m : mostres) suma += double(m) * m;
    return mostres.empty() ? 0 : std::sqrt(suma / mostres.size());
}

std::vector<float> escolta(sintetitzador& synth, int frames) {
    std::vector<float> mostres(size_t(frames) * 2);
    for (int fet = 0; fet < frames; fet += 256) synth.render(mostres.data() + size_t(fet) * 2, std::min(256, frames - fet));
    return mostres;
}

// The level, in dB, of one note on a fresh synthesizer at these gains.
double db_de_nota(const guanys_so& g, uint8_t canal, uint8_t nota) {
    sintetitzador synth(48000);
    synth.carrega("/usr/share/sounds/sf2/TimGM6mb.sf2");
    synth.set_guanys(g.sintetitzador, g.canals);
    synth.envia(uint8_t(0x90 | canal), nota, 100);
    return 20 * std::log10(rms(escolta(synth, 9600)));
}

} // namespace

class test_so : public QObject {
    Q_OBJECT

    struct driver {
        estat_compartit estat;
        midi_fals midi;
        missatges_fals caixes;
        MIDI_OUT out{estat, midi, caixes};
        MIDI_CMD cmd{out};
        driver() { out.OpenMidiOut(-1); }
    };

private slots:
    void packing_and_channel_messages() {
        QCOMPARE(MIDI_OUT::PackShortMessage(0x90, 60, 127), 0x007F3C90);
        QCOMPARE(MIDI_OUT::PackShortMessage(0xC0, 5, 0), 0x000005C0);
        driver d;
        d.cmd.PitchBend(0, 8192);
        d.cmd.PitchBend(0, 16383);
        d.cmd.PitchBend(0, 0);
        d.cmd.NoteOff(3, 60);
        d.cmd.ProgramChange(0, 0, 24);
        d.cmd.NoteOn(9, 36, 100);
        d.cmd.ControlChange(0, 120, 0);
        const std::vector<uint32_t> esperat{0x4000E0, 0x7F7FE0, 0x0000E0, 0x003C93, 0x0000B0, 0x0018C0, 0x642499, 0x0078B0};
        QCOMPARE(d.midi.enviats, esperat);
        QVERIFY(d.caixes.caixes.isEmpty());
    }

    void device_list_puts_the_mapper_first() {
        QWidget pare;
        llista list(&pare);
        driver d;
        d.midi.dispositius = {"Sintetitzador integrat", "Port extern", "Port trencat"};
        d.midi.sense_capacitats = {2};
        d.out.FillDeviceList(list);
        QCOMPARE(list.ListCount(), 3);
        QCOMPARE(list.item(0)->text(), QString("MIDI Mapper"));
        QCOMPARE(list.ItemData(0), -1);
        QCOMPARE(list.ItemData(1), 0);
        QCOMPARE(list.ItemData(2), 1);
        d.midi.mapper_respon = false;
        d.out.FillDeviceList(list);
        QCOMPARE(list.ListCount(), 2);
        QCOMPARE(list.ItemData(0), 0);
    }

    void errors_show_once_and_leave_no_handle() {
        driver d;
        QCOMPARE(d.midi.oberts, std::vector<int32_t>{-1});
        QVERIFY(d.estat.hmidi_out != 0);
        d.out.CloseMidiOut();
        d.out.CloseMidiOut();
        QCOMPARE(d.midi.tancats.size(), size_t(1));
        QCOMPARE(d.estat.hmidi_out, HMIDIOUT(0));
        d.caixes.mentre_oberta = [&] { d.cmd.NoteOn(0, 62, 127); }; // a failure while a box is open opens no second
        d.cmd.NoteOn(0, 60, 127);
        QCOMPARE(d.caixes.caixes, QStringList({text_error_midi(MMSYSERR_INVALHANDLE)}));
        d.caixes.mentre_oberta = nullptr;
        d.midi.resultat_obrir = MMSYSERR_ALLOCATED; // a busy device: its own error, then the invalid handle
        QVERIFY(!d.out.OpenMidiOut(0));
        QCOMPARE(d.estat.hmidi_out, HMIDIOUT(0));
        d.cmd.NoteOn(0, 60, 127);
        QCOMPARE(d.caixes.caixes.mid(1), QStringList({text_error_midi(MMSYSERR_ALLOCATED), text_error_midi(MMSYSERR_INVALHANDLE)}));
    }

    void device_table_offers_mapper_and_synthesizer() {
        sintetitzador synth(48000);
        synth.set_periode(128);
        alsa_fals alsa; // no sequencer: no ports, and no port of our own
        midi_sistema_linux midi(synth, alsa);
        QCOMPARE(midi.midiOutGetNumDevs(), 1u);
        QString nom;
        QCOMPARE(midi.midiOutGetDevCapsA(MIDI_MAPPER, nom), uint32_t(MMSYSERR_NOERROR));
        QCOMPARE(midi.midiOutGetDevCapsA(0, nom), uint32_t(MMSYSERR_NOERROR));
        QCOMPARE(nom, QString("Sintetitzador integrat (128 mostres)")); // its audio period, shown in the test panel
        QCOMPARE(midi.midiOutGetDevCapsA(int32_t(midi.midiOutGetNumDevs()), nom), uint32_t(MMSYSERR_BADDEVICEID));
        HMIDIOUT h = 0;
        QCOMPARE(midi.midiOutOpen(h, MIDI_MAPPER), uint32_t(MMSYSERR_NOERROR));
        QVERIFY(h != 0);
        QCOMPARE(midi.midiOutShortMsg(h, 0x007F3C90), uint32_t(MMSYSERR_NOERROR));
        QCOMPARE(midi.midiOutShortMsg(h, 0x00803C90), uint32_t(MMSYSERR_INVALPARAM)); // data byte 128
        QCOMPARE(midi.midiOutShortMsg(h, 0x01000090), uint32_t(MMSYSERR_INVALPARAM));
        QCOMPARE(midi.midiOutClose(h), uint32_t(MMSYSERR_NOERROR));
        QCOMPARE(midi.midiOutClose(h), uint32_t(MMSYSERR_INVALHANDLE));
        QCOMPARE(midi.midiOutShortMsg(h, 0x007F3C90), uint32_t(MMSYSERR_INVALHANDLE));
    }

    void the_sequencer_offers_its_ports_and_one_of_our_own_and_may_lose_them() {
        ports_rtmidi real; // these machines have no /dev/snd/seq: RtMidi's exception stays inside
        QCOMPARE(real.hi_ha_sequenciador() || !real.ports().isEmpty(), QFile::exists("/dev/snd/seq"));
        sintetitzador synth(48000);
        alsa_fals alsa;
        alsa.hi_ha = true;
        alsa.noms = {"Sintetitzador extern"};
        midi_sistema_linux midi(synth, alsa);
        QCOMPARE(midi.midiOutGetNumDevs(), 3u);
        QString nom;
        midi.midiOutGetDevCapsA(2, nom);
        QCOMPARE(nom, QString("Brisola (port ALSA)"));
        HMIDIOUT propi = 0, extern_ = 0;
        QCOMPARE(midi.midiOutOpen(propi, 2), uint32_t(MMSYSERR_NOERROR));
        QCOMPARE(midi.midiOutOpen(extern_, 1), uint32_t(MMSYSERR_NOERROR));
        midi.midiOutShortMsg(propi, 0x007F3C90);
        midi.midiOutShortMsg(propi, 0x000005C0); // a program change has two bytes
        midi.midiOutShortMsg(extern_, 0x00404090);
        using bytes = std::vector<std::vector<uint8_t>>;
        QCOMPARE(alsa.enviats["propi"], bytes({{0x90, 60, 127}, {0xC0, 5}}));
        QCOMPARE(alsa.enviats["Sintetitzador extern"], bytes({{0x90, 64, 64}}));
        midi.midiOutClose(propi);
        midi.midiOutClose(extern_);

        estat_compartit estat;
        missatges_fals caixes;
        MIDI_OUT out{estat, midi, caixes};
        MIDI_CMD cmd{out};
        out.OpenMidiOut(1);
        alsa.desconnectat = true; // unplugged while open: said once
        for (int n = 0; n < 50; ++n) cmd.NoteOn(0, 62, 127);
        QCOMPARE(caixes.caixes, QStringList({text_error_midi(MIDIERR_NODEVICE)}));
        out.OpenMidiOut(0); // the built-in synthesizer is still there
        cmd.NoteOn(0, 64, 127);
        QCOMPARE(caixes.caixes.size(), 1);
    }

    void the_synthesizer_sounds_is_silenced_and_rests() {
        sintetitzador synth(48000);
        QVERIFY(!synth.carrega("/no/such/font.sf2"));
        QVERIFY(synth.carrega("/usr/share/sounds/sf2/TimGM6mb.sf2"));
        alsa_fals alsa;
        midi_sistema_linux midi(synth, alsa);
        HMIDIOUT h = 0;
        midi.midiOutOpen(h, MIDI_MAPPER);
        QVERIFY(rms(escolta(synth, 48000)) < 1e-5);
        QCOMPARE(synth.renders(), uint64_t(0)); // at rest the synthesizer is not called
        midi.midiOutShortMsg(h, uint32_t(MIDI_OUT::PackShortMessage(0x90, 60, 127)));
        double nota = rms(escolta(synth, 9600));
        QVERIFY2(nota > 0.01, "a note-on must be heard");
        midi.midiOutShortMsg(h, uint32_t(MIDI_OUT::PackShortMessage(0xB0, 120, 0)));
        escolta(synth, 4800);
        QVERIFY(rms(escolta(synth, 4800)) < nota / 20); // All Sound Off leaves only the reverb's tail
        escolta(synth, 2 * 48000);
        uint64_t abans = synth.renders();
        QVERIFY(rms(escolta(synth, 48000)) == 0);
        QCOMPARE(synth.renders(), abans);
        QCOMPARE(midi.midiOutShortMsg(h, 0x99u | 36u << 8 | 127u << 16), uint32_t(MMSYSERR_NOERROR));
        QVERIFY2(rms(escolta(synth, 4800)) > 0.01, "a bass drum on channel 9 must be heard");
    }

    void the_synthesizer_tells_its_output_when_it_may_rest_and_when_to_wake() {
        sintetitzador synth(48000);
        synth.carrega("/usr/share/sounds/sf2/TimGM6mb.sf2");
        int despertades = 0;
        synth.set_despertador([&] { ++despertades; });
        escolta(synth, 256);
        QVERIFY(synth.callat());
        synth.envia(0x90, 60, 100);
        QCOMPARE(despertades, 1);
        QVERIFY2(!synth.callat(), "a note still queued keeps the output awake");
        escolta(synth, 4800);
        QVERIFY2(!synth.callat(), "a voice sounding keeps the output awake");
        synth.envia(0xB0, 120, 0); // All Sound Off
        escolta(synth, 4800);
        QVERIFY(synth.callat());
    }

    void the_persons_levels_scale_their_notes_and_the_drums_apart() {
        const guanys_so tal_qual;
        const double piano = db_de_nota(tal_qual, 0, 60), bombo = db_de_nota(tal_qual, 9, 36);
        // Half the volume, the accompaniment 12 dB under the person's notes.
        guanys_so g = guanys_de(50, -12, true);
        QVERIFY(std::fabs(db_de_nota(g, 0, 60) - (piano - 6.02)) < 0.2);
        QVERIFY(std::fabs(db_de_nota(g, 9, 36) - (bombo - 18.02)) < 0.2);
        QVERIFY(std::fabs(20 * std::log10(g.cancons) + 18.02) < 0.01);
        // Above the person's notes: the drums rise, the person's notes stay as they were.
        g = guanys_de(100, 6, true);
        QVERIFY(std::fabs(db_de_nota(g, 0, 60) - piano) < 0.2);
        QVERIFY(std::fabs(db_de_nota(g, 9, 36) - (bombo + 6.02)) < 0.2);
        // In Bateria the drums are the person's own: the accompaniment's level leaves them alone.
        QVERIFY(std::fabs(db_de_nota(guanys_de(100, -24, false), 9, 36) - bombo) < 0.01);
        QVERIFY(db_de_nota(guanys_de(0, 0, false), 0, 60) < -90);
    }

    void messages_sound_at_their_own_frame_data() {
        QTest::addColumn<long>("separacio");
        QTest::addColumn<long>("tolerancia");
        QTest::addColumn<int>("periode_dit"); // what the output said its period was: it renders 2048
        QTest::newRow("on the synthesizer's block grid") << 1024L << 2L << 2048;
        QTest::newRow("off it") << 1000L << 63L << 2048;
        QTest::newRow("blocks longer than the output said") << 1000L << 63L << 128;
    }

    void messages_sound_at_their_own_frame() {
        QFETCH(long, separacio);
        QFETCH(long, tolerancia);
        QFETCH(int, periode_dit);
        int64_t ara = 0, moment = 0; // nanoseconds: the audio thread's clock, and the messages' stamps
        sintetitzador synth(48000, [&] { return moment; }, [&] { return ara; });
        QVERIFY(synth.carrega("/usr/share/sounds/sf2/TimGM6mb.sf2"));
        synth.set_periode(periode_dit);
        auto ns = [](int64_t frames) { return frames * 1000000000 / 48000; };
        std::vector<float> sortida(2 * 4 * 2048);
        auto periode = [&](int k) {
            ara = ns(2048 * k);
            synth.render(sortida.data() + 2 * 2048 * k, 2048);
        };
        // Two woodblocks, one on each side, with no reverberation to blur them.
        for (uint8_t canal : {0, 1}) {
            synth.envia(0xC0 | canal, 115, 0);
            for (auto [cc, v] : {std::pair<uint8_t, uint8_t>(10, canal ? 127 : 0), {91, 0}, {93, 0}})
                synth.envia(0xB0 | canal, cc, v);
        }
        periode(0);
        periode(1);
        moment = ns(2048 + 100); // while the period rendered last plays
        synth.envia(0x90, 60, 127);
        moment = ns(2048 + 100 + separacio); // later by `separacio` frames, within the same period
        synth.envia(0x91, 60, 127);
        for (int k = 2; k < 4; ++k) periode(k);
        auto inici = [&](int costat) {
            for (size_t f = 0; f < sortida.size() / 2; ++f)
                if (std::fabs(sortida[2 * f + costat]) > 1e-3f) return long(f);
            return -1L;
        };
        long esquerra = inici(0), dreta = inici(1);
        QVERIFY(esquerra > 0 && dreta > 0);
        // FluidSynth starts voices on its own 64-frame blocks: to the sample on that grid, within a block off it.
        QVERIFY2(std::abs(dreta - esquerra - separacio) <= tolerancia,
                 qPrintable(QString("%1 frames apart").arg(dreta - esquerra)));
    }

    // The graph says when each cycle began: a message is placed one period after its
    // stamp from there, whatever this thread's wake-ups, at the nearer start of one of
    // FluidSynth's 64-frame blocks, and heard when the journal says.
    void the_graphs_cycle_places_a_message_one_period_after_its_stamp_data() {
        QTest::addColumn<int>("despres"); // frames after cycle 4's start
        QTest::addColumn<long>("sona");   // the frame it sounds from
        QTest::newRow("stamped as a cycle begins") << 0 << 640L;
        QTest::newRow("nearer the block before") << 20 << 640L;
        QTest::newRow("nearer the block after") << 40 << 704L;
    }

    void the_graphs_cycle_places_a_message_one_period_after_its_stamp() {
        QFETCH(int, despres);
        QFETCH(long, sona);
        int64_t ara = 0, moment = 0; // nanoseconds: the audio thread's clock, and the messages' stamps
        sintetitzador synth(48000, [&] { return moment; }, [&] { return ara; });
        QVERIFY(synth.carrega("/usr/share/sounds/sf2/TimGM6mb.sf2"));
        synth.set_periode(128);
        auto ns = [](int64_t frames) { return frames * 1000000000 / 48000; };
        std::vector<float> sortida(2 * 128 * 8);
        auto cicle = [&](int k) {
            ara = ns(128 * k) + (k % 2 ? 400'000 : 0); // every other cycle the thread wakes late
            synth.comenca_cicle(ns(128 * k));
            synth.render(sortida.data() + 2 * 128 * k, 128);
        };
        synth.envia(0xC0, 115, 0); // a woodblock, with no reverberation to blur it
        for (uint8_t cc : {91, 93}) synth.envia(0xB0, cc, 0);
        for (int k = 0; k < 4; ++k) cicle(k);
        moment = ns(128 * 4 + despres); // heard one period later, as cycle 5 begins when stamped as cycle 4 does
        synth.envia(0x90, 60, 127);
        for (int k = 4; k < 8; ++k) cicle(k);
        long inici = 0;
        while (inici < 128 * 8 && std::fabs(sortida[size_t(2 * inici)]) < 1e-3f) ++inici;
        // The woodblock's attack rises over some 30 frames.
        QVERIFY2(inici >= sona && inici < sona + 48, qPrintable(QString("heard at frame %1").arg(inici)));
        std::optional<sintetitzador::sentit> s;
        while ((s = synth.treu_sentit()) && s->missatge != 0x7F3C90) {}
        QVERIFY(s);
        QVERIFY(std::abs(s->ns - ns(sona)) <= ns(1));
        // What the journal adds to a song's command: the period alone.
        QVERIFY(std::abs(synth.latencia_ns() + synth.desfasament_del_sentit() - ns(128)) <= ns(1));
    }

    // A sound is heard as one piece at the output's pace: a callback that wakes early or
    // late restarts the placing of messages, not the clock the journal keeps. In
    // silence that clock meets the placing again, never going back.
    void what_sounds_is_heard_at_the_outputs_own_pace_data() {
        QTest::addColumn<int64_t>("desfasament");
        QTest::newRow("a callback late") << int64_t(30'000'000);
        QTest::newRow("a callback early") << int64_t(-30'000'000);
    }

    void what_sounds_is_heard_at_the_outputs_own_pace() {
        QFETCH(int64_t, desfasament);
        int64_t ara = 0;
        sintetitzador synth(48000, [&] { return ara; }, [&] { return ara; });
        QVERIFY(synth.carrega("/usr/share/sounds/sf2/TimGM6mb.sf2"));
        synth.set_periode(128);
        synth.envia(0xC0, 19, 0); // an organ, held until its note-off
        synth.envia(0x90, 60, 100);
        std::vector<float> periode(2 * 128);
        std::vector<sintetitzador::marca> marques;
        auto sona = [&](int periodes, int64_t salt) {
            for (int k = 0; k < periodes; ++k) {
                ara += 128 * 1000000000LL / 48000 + (k == periodes / 2 ? salt : 0);
                synth.render(periode.data(), 128);
                marques.push_back(synth.marca_del_periode());
            }
        };
        sona(20, desfasament);
        for (size_t k = 1; k < marques.size(); ++k)
            QCOMPARE(marques[k].ns - marques[k - 1].ns, double(marques[k].frame - marques[k - 1].frame) * 1e9 / 48000);
        synth.envia(0x80, 60, 0);
        sona(48000 / 128, 0); // the organ's release dies away
        for (size_t k = 1; k < marques.size(); ++k) // it slows, but never below half its pace
            QVERIFY(marques[k].ns > marques[k - 1].ns && marques[k].ns_per_frame >= 1e9 / 48000 / 2);
        QVERIFY2(std::fabs(marques.back().ns - double(ara)) < 1e6, qPrintable(QString::number(marques.back().ns - double(ara))));
    }

    void the_loader_reports_a_missing_soundfont() {
        sintetitzador synth(48000);
        int carregat = -1;
        synth.carrega_en_segon_pla("", [&](bool ok) { carregat = ok; });
        synth.espera_carrega();
        QCOMPARE(carregat, 0);
        QVERIFY(!synth.carregat());
    }

    void notes_due_while_nothing_renders_do_not_burst_out_later() {
        int64_t ara = 0, moment = 0; // nanoseconds: the audio thread's clock, and the messages' stamps
        sintetitzador synth(48000, [&] { return moment; }, [&] { return ara; });
        QVERIFY(synth.carrega("/usr/share/sounds/sf2/TimGM6mb.sf2"));
        synth.envia(0x90, 60, 127); // played while no output was open
        synth.envia(0x80, 60, 0);
        synth.envia(0x90, 64, 127);
        ara = moment = 2'000'000'000;
        QVERIFY(rms(escolta(synth, 4800)) < 1e-5);
        moment = ara - 50'000'000; // a moment ago: heard
        synth.envia(0x90, 67, 127);
        QVERIFY(rms(escolta(synth, 4800)) > 0.01);
        synth.envia(0x80, 67, 0);
        // A late note-off, even one written as a note-on at velocity 0, still ends its note.
        synth.envia(0xC0, 19, 0); // an organ, which sounds for as long as its note is held
        synth.envia(0x90, 48, 127);
        escolta(synth, 4800);
        moment = ara - 500'000'000;
        synth.envia(0x90, 48, 0);
        escolta(synth, 2 * 48000);
        QVERIFY(rms(escolta(synth, 4800)) < 1e-4);
    }

    // A device that takes seconds to wake (a wireless headset's): the note that woke it is
    // heard, with what came with it, and then only what is not late; no burst of the rest.
    void a_note_that_wakes_a_resting_output_is_heard_however_slow_the_wake() {
        int64_t ara = 0, moment = 0; // nanoseconds: the audio thread's clock, and the messages' stamps
        sintetitzador synth(48000, [&] { return moment; }, [&] { return ara; });
        QVERIFY(synth.carrega("/usr/share/sounds/sf2/TimGM6mb.sf2"));
        escolta(synth, 4800);
        while (synth.treu_sentit()) {
        }
        const int64_t despertador = 60'000'000'000; // a minute of rest, then an instrument chosen, then a note
        moment = despertador - 400'000'000;
        synth.envia(0xC0, 1, 0);
        moment = despertador;
        synth.envia(0x90, 60, 127);
        moment += 20'000'000; // with it, a drum
        synth.envia(0x99, 36, 127);
        for (int k = 2; k <= 30; ++k) { // the pointer goes on playing, a note every 100 ms
            moment = despertador + k * 100'000'000LL;
            synth.envia(0x90, uint8_t(60 + k), 100);
        }
        ara = despertador + 3'050'000'000;
        synth.ve_del_repos();
        QVERIFY(rms(escolta(synth, 4800)) > 0.01);
        std::vector<int> notes;
        while (auto s = synth.treu_sentit())
            if ((s->missatge & 0xF0) == 0x90) notes.push_back(int(s->missatge >> 8 & 0x7F));
        QCOMPARE(notes, (std::vector<int>{60, 36, 90}));
    }

    // An output hands its buffers back with what they last held: at rest each is made silent.
    void at_rest_the_output_is_silent_whatever_its_buffer_held() {
        sintetitzador synth(48000, [] { return int64_t(0); }, [] { return int64_t(0); });
        QVERIFY(synth.carrega("/usr/share/sounds/sf2/TimGM6mb.sf2"));
        std::vector<float> bloc(2 * 128, 0.5f);
        synth.render(bloc.data(), 128);
        QVERIFY(std::all_of(bloc.begin(), bloc.end(), [](float f) { return f == 0.0f; }));
    }

    void a_full_queue_leaves_no_note_hanging() {
        sintetitzador synth(48000, [] { return int64_t(0); }, [] { return int64_t(0); });
        QVERIFY(synth.carrega("/usr/share/sounds/sf2/TimGM6mb.sf2"));
        synth.envia(0xC0, 19, 0); // an organ, which sounds for as long as its note is held
        for (int n = 0; n < 4094; ++n) synth.envia(0xB0, 1, uint8_t(n % 128));
        synth.envia(0x90, 60, 127);
        synth.envia(0x80, 60, 0); // one past what the queue holds
        escolta(synth, 2 * 48000);
        QVERIFY(rms(escolta(synth, 4800)) < 1e-4);
    }
};

QTEST_MAIN(test_so)
#include "test_so.moc"
