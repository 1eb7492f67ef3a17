// Brisola: builds the real services and opens the window.
#include "app/finestra_main.h"
#include "app/desvetlla_amb_l_entrada.h"
#include "app/llocs.h"
#include "persones/etapa_punter.h"
#include "persones/menu_persona.h"
#include "platform/captura_v4l2.h"
#include "platform/dialeg_fitxers_qt.h"
#include "platform/fitxer_ini.h"
#include "platform/joystick_sdl.h"
#include "platform/media_interpret.h"
#include "platform/midi_sistema_linux.h"
#include "platform/missatges_qt.h"
#include "platform/parla_qt.h"
#include "platform/ports_rtmidi.h"
#include "platform/programes_qt.h"
#include "platform/sintetitzador.h"
#include "platform/sonda_audio.h"
#include "platform/sortida_audio.h"
#include "platform/temporitzador_qt.h"
#include "platform/tintseer_dinamic.h"
#include "platform/volum_sistema.h"
#include "sessions/costures_diari.h"
#include "sessions/linia_exportacio.h"
#include "sessions/menu_sessions.h"
#include "tauler/caixes_tauler.h"

#include <QApplication>
#include <QStandardPaths>

#include <algorithm>
#include <cstdio>
#include <memory>
#include <string_view>

using namespace brisola;

namespace {

llocs troba_els_llocs() {
    return troba_llocs(QCoreApplication::applicationDirPath(),
                       QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation),
                       QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation));
}

// The interface's language as the window last kept it.
QString idioma_desat(const QString& directori) {
    QString idioma;
    const int n = GetPrivateProfileStringA("inici", "idioma", "catala", idioma, 256,
                                           cami_sense_majuscules(directori, "brisola.ini"));
    return idioma.left(n);
}

} // namespace

int main(int argc, char** argv) {
    if (argc == 3 && argv[1] == std::string_view(sonda_audio::argument)) return sortida_audio::sonda(argv[2]);
    if (std::find(argv, argv + argc, std::string_view("--export")) != argv + argc) {
        QCoreApplication app(argc, argv);
        return exporta_per_linia(app.arguments(), idioma_desat(troba_els_llocs().directori), [](const QString& text) {
            std::fprintf(stderr, "brisola: %s\n", text.toLocal8Bit().constData());
        });
    }
    QApplication app(argc, argv);
    const llocs on = troba_els_llocs();

    rellotge_qt rellotge_real;
    sintetitzador synth(sortida_audio::freq_mostreig, [&rellotge_real] { return rellotge_real.moment_ns(); });
    media_interpret media(synth, sortida_audio::freq_mostreig);
    // End-to-end tests capture the sound as written: each period's place on the monotonic
    // clock, beside it, measures it whatever the capture's own pace.
    std::unique_ptr<FILE, int (*)(FILE*)> marques(nullptr, &std::fclose);
    if (const QByteArray cami = qgetenv("BRISOLA_MARQUES_AUDIO"); !cami.isEmpty()) marques.reset(std::fopen(cami, "wb"));
    sortida_audio audio(
        [&synth, &media, &marques](float* frames, int n) {
            synth.render(frames, n);
            if (marques) {
                const sintetitzador::marca m = synth.marca_del_periode();
                std::fwrite(&m, sizeof m, 1, marques.get());
            }
            media.mescla(frames, n);
        },
        QCoreApplication::applicationFilePath());
    // While nothing sounds the desktop's audio server is left alone; a note or a song wakes it.
    audio.set_repos([&synth, &media] { return synth.callat() && !media.sona(); });
    audio.set_despertat([&synth] { synth.ve_del_repos(); });
    audio.set_cicle([&synth](int64_t ns) { synth.comenca_cicle(ns); });
    synth.set_despertador([&audio] { audio.desperta(); });
    media.set_despertador([&audio] { audio.desperta(); });
    desvetlla_amb_l_entrada desvetlla([&audio] { audio.desperta(); });
    app.installEventFilter(&desvetlla);

    const QString soundfont = sintetitzador::troba_soundfont();
    // What the instrument sends, plays and sets passes the person's journal on its way.
    diari journal(on.sessions, {rellotge_real, [&rellotge_real] { return rellotge_real.moment_ns(); },
                                [&synth] { return synth.latencia_ns() + synth.desfasament_del_sentit(); }},
                  soundfont);
    journal.escolta_sintetitzador([&synth]() -> std::optional<diari::sentit> {
        if (const auto s = synth.treu_sentit()) return diari::sentit{s->missatge, s->ns};
        return std::nullopt;
    });

    missatges_qt caixes;
    caixes_tauler caixes_del_tauler(caixes); // a choice made on the board shows its boxes on the board
    dialeg_fitxers_qt dialeg;
    ports_rtmidi alsa;
    midi_sistema_linux midi_real(synth, alsa);
    midi_diari midi(midi_real, journal);
    media_diari media_amb_diari(media, journal);
    joystick_sdl joystick;
    captura_v4l2 captura;
    tintseer_dinamic tintseer(on.biblioteques);
    programes_qt llancador;
    // A person's reach and smoothing sit between the pointer's services and the window.
    etapa_punter punter(rellotge_real, joystick, tintseer);
    volum_intern volum_real(synth, media);
    volum_diari volum(volum_real, journal);
    parla_qt parla;
    serveis s{midi,     caixes_del_tauler, dialeg,   rellotge_real, punter.joystick(), captura, punter.tintseer(),
              media_amb_diari, llancador, on.directori, on.dades, [] { QCoreApplication::exit(0); }};

    finestra_main finestra(s);
    caixes.set_pare(&finestra);
    punter.enganxa(finestra);
    menu_persona persones(finestra, {}, {&punter, &volum, &parla, &caixes_del_tauler});
    menu_sessions sessions(finestra, persones, journal, &punter);
    finestra.show();
    // `brisola --persona NAME` starts with that person; else the last one chosen starts.
    const QStringList arguments = app.arguments();
    const qsizetype opcio = arguments.indexOf("--persona");
    std::optional<QString> demanada;
    if (opcio > 0) demanada = opcio + 1 < arguments.size() ? arguments[opcio + 1] : QString();
    persones.inicia(demanada);
    // The window shows at once, whatever the audio server does; the output only makes notices.
    audio.obre_en_segon_pla([&](sortida_audio::resultat so) {
        synth.set_periode(audio.frames());
        if (so == sortida_audio::resultat::so) return;
        avis a = so == sortida_audio::resultat::mut ? avis::so_mut : avis::so_tornat;
        QMetaObject::invokeMethod(&finestra, [&finestra, a, motiu = audio.motiu()] { finestra.avisa(a, {motiu}); },
                                  Qt::QueuedConnection);
    });
    if (QString triat = sintetitzador::soundfont_triat(); !triat.isEmpty() && triat != soundfont)
        finestra.avisa(avis::soundfont_absent, {triat, soundfont});
    synth.carrega_en_segon_pla(soundfont, [&finestra, soundfont](bool carregat) {
        if (carregat) return;
        QString provat = soundfont.isEmpty() ? "/usr/share/sounds/sf2/default-GM.sf2" : soundfont;
        QMetaObject::invokeMethod(&finestra, [&finestra, provat] { finestra.avisa(avis::sense_soundfont, {provat}); },
                                  Qt::QueuedConnection);
    });

    int resultat = app.exec();
    journal.acaba();
    synth.espera_carrega(); // the loader and the output's opener may still post to the window
    audio.atura_obertura();
    return resultat;
}
