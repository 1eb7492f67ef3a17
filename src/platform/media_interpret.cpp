#include "media_interpret.h"

#include "canco_flux.h"
#include "canco_midi.h"
#include "fitxer_ini.h"
#include "lector_smf.h"
#include "sintetitzador.h"

#include <QFile>
#include <QFileInfo>
#include <QUrl>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <thread>

namespace brisola {

namespace {

bool es(const QString& paraula, const char* esperada) {
    return paraula.compare(QLatin1String(esperada), Qt::CaseInsensitive) == 0;
}

// Commands after which a song may sound: an output at rest wakes for them.
bool pot_sonar(const QStringList& p) {
    return !p.isEmpty() && (es(p[0], "play") || es(p[0], "resume") || es(p[0], "set"));
}

// The file a short path stands for; empty when it names none.
QString fitxer_de(const QString& sp) {
    QString cami = cami_de_nom_curt(sp);
    return QFileInfo(cami).isFile() ? cami : QString();
}


// A sum past full scale would clip. Above the knee it bends softly towards ±1
// instead; below it, every sample passes untouched.
float limita(float x) {
    constexpr float genoll = 0.9f;
    const float a = std::fabs(x);
    if (a <= genoll) return x;
    return std::copysign(genoll + (1 - genoll) * std::tanh((a - genoll) / (1 - genoll)), x);
}

} // namespace

QString cami_de_nom_curt(const QString& sp) { return QUrl::fromPercentEncoding(sp.toLatin1()); }

media_interpret::media_interpret(sintetitzador& instrument, int freq_mostreig)
    : instrument_(instrument), freq_mostreig_(freq_mostreig) {}

media_interpret::~media_interpret() {
    posa_midi(nullptr);
    posa_flux(nullptr, {});
}

QString media_interpret::ShortPath(const QString& cami) {
    QFileInfo fitxer(cami);
    if (!fitxer.isFile()) fitxer.setFile(cami_sense_majuscules(fitxer.path(), fitxer.fileName()));
    if (!fitxer.isFile()) return {};
    // Percent-encoding keeps the name free of blanks and turns back into the file exactly.
    return QString::fromLatin1(QUrl::toPercentEncoding(fitxer.absoluteFilePath(), "/"));
}

// Words are matched without regard to case, as the callers' own strings mix cases.
QString media_interpret::mciSendStringA(const QString& ordre, uint32_t* error) {
    QStringList paraules = ordre.simplified().split(' ', Qt::SkipEmptyParts);
    QString resposta;
    uint32_t resultat = MCIERR_UNRECOGNIZED_COMMAND;
    if (paraules.size() >= 2)
        resultat = es(paraules[1], "mid1") || es(paraules[0], "open") ? ordre_mid1(paraules, resposta)
                                                                       : ordre_fitxer(paraules, resposta);
    if (despertador_ && pot_sonar(paraules)) despertador_();
    if (error) *error = resultat;
    return resultat == MCI_OK ? resposta : QString();
}

uint32_t media_interpret::ordre_mid1(const QStringList& p, QString& resposta) {
    const QString& verb = p[0];
    if (es(verb, "open"))
        return p.size() == 6 && es(p[2], "type") && es(p[3], "sequencer") && es(p[4], "alias") && es(p[5], "mid1")
                   ? obre_mid1(p[1])
                   : MCIERR_UNRECOGNIZED_COMMAND;
    bool dues = p.size() == 2, tres = p.size() == 3, numero = false;
    p.value(3).toInt(&numero);
    bool coneguda = (dues && (es(verb, "play") || es(verb, "stop") || es(verb, "close"))) ||
                    (tres && es(verb, "status") &&
                     (es(p[2], "length") || es(p[2], "position") || es(p[2], "tempo") || es(p[2], "mode"))) ||
                    (p.size() == 4 && es(verb, "set") && es(p[2], "tempo")) ||
                    (p.size() == 4 && es(verb, "seek") && es(p[2], "to") && numero); // the journal's: a tick
    if (!coneguda) return MCIERR_UNRECOGNIZED_COMMAND;
    if (!midi_) return MCIERR_INVALID_DEVICE_NAME;
    if (es(verb, "play")) {
        final_midi_ = false;
        midi_->play();
    } else if (es(verb, "stop")) midi_->stop();
    else if (es(verb, "close")) posa_midi(nullptr);
    else if (p.size() == 4) {
        bool ok = false;
        int valor = p[3].toInt(&ok);
        if (!ok) return MCIERR_UNRECOGNIZED_COMMAND;
        if (es(verb, "set")) midi_->set_tempo(valor);
        else midi_->situa(valor);
    } else if (es(p[2], "length")) resposta = QString::number(midi_->llargada());
    else if (es(p[2], "position")) resposta = QString::number(midi_->posicio());
    else if (es(p[2], "tempo")) resposta = QString::number(midi_->tempo());
    else resposta = midi_->sona() ? "playing" : midi_->tempo() == 1 ? "paused" : "stopped";
    return MCI_OK;
}

uint32_t media_interpret::ordre_fitxer(const QStringList& p, QString& resposta) {
    const QString& verb = p[0];
    if (p.size() == 3 && es(verb, "status") && (es(p[2], "mode") || es(p[2], "position"))) {
        if (!flux_ || p[1] != sp_flux_) return MCIERR_INVALID_DEVICE_NAME;
        resposta = es(p[2], "mode") ? flux_->mode() : QString::number(flux_->posicio_ms());
        return MCI_OK;
    }
    // "play" opens the file by itself, "from" a millisecond onwards; the others need it open.
    if (p.size() == 4 && es(verb, "play") && es(p[2], "from")) {
        bool ok = false;
        const qlonglong des_de = p[3].toLongLong(&ok);
        return ok ? juga_fitxer(p[1], des_de) : MCIERR_UNRECOGNIZED_COMMAND;
    }
    if (p.size() != 2) return MCIERR_UNRECOGNIZED_COMMAND;
    if (es(verb, "play")) return juga_fitxer(p[1], -1);
    if (!es(verb, "pause") && !es(verb, "resume") && !es(verb, "close")) return MCIERR_UNRECOGNIZED_COMMAND;
    if (!flux_ || p[1] != sp_flux_) return MCIERR_INVALID_DEVICE_NAME;
    if (es(verb, "pause")) flux_->pause();
    else if (es(verb, "resume")) flux_->play();
    else posa_flux(nullptr, {});
    return MCI_OK;
}

uint32_t media_interpret::obre_mid1(const QString& sp) {
    QFile fitxer(fitxer_de(sp));
    if (fitxer.fileName().isEmpty() || !fitxer.open(QIODevice::ReadOnly)) return MCIERR_FILE_NOT_FOUND;
    QByteArray bytes = fitxer.readAll();
    auto info = llegeix_smf(bytes);
    if (!info) return MCIERR_INVALID_FILE;
    instrument_.precarrega(info->programes);
    posa_midi(std::make_unique<canco_midi>(bytes, *info, instrument_.soundfont(), freq_mostreig_));
    return MCI_OK;
}

// `des_de_ms` negative: the song open goes on where it is, another starts from its beginning.
uint32_t media_interpret::juga_fitxer(const QString& sp, int64_t des_de_ms) {
    if (flux_ && sp == sp_flux_ && des_de_ms < 0) {
        flux_->play();
        return MCI_OK;
    }
    QString cami = fitxer_de(sp);
    if (cami.isEmpty()) return MCIERR_FILE_NOT_FOUND;
    auto flux = canco_flux::obre(cami, freq_mostreig_, std::max<int64_t>(des_de_ms, 0));
    if (!flux) return MCIERR_INVALID_FILE;
    flux->play();
    posa_flux(std::move(flux), sp); // one song at a time: a new one takes the place of the last
    return MCI_OK;
}

finals_canco media_interpret::finals() {
    if (midi_ && !final_midi_ && midi_->acabada()) final_midi_ = true, ++finals_.midi;
    if (flux_ && !final_flux_ && flux_->mode() == "stopped") final_flux_ = true, ++finals_.flux;
    return finals_;
}

void media_interpret::posa_midi(std::unique_ptr<canco_midi> nova) {
    final_midi_ = false;
    midi_audio_ = nova.get();
    espera_audio();
    midi_ = std::move(nova);
}

void media_interpret::posa_flux(std::unique_ptr<canco_flux> nova, const QString& sp) {
    final_flux_ = false;
    flux_audio_ = nova.get();
    espera_audio();
    flux_ = std::move(nova);
    sp_flux_ = sp;
}

void media_interpret::espera_audio() {
    uint64_t mescles = mescles_;
    while (mesclant_ && mescles_ == mescles) std::this_thread::yield();
}

void media_interpret::espera_cancons(int frames) {
    while (flux_ && !flux_->a_punt(size_t(frames))) std::this_thread::sleep_for(std::chrono::milliseconds(1));
}

void media_interpret::mescla(float* estereo, int frames) {
    mesclant_ = true;
    const float guany = guany_;
    if (guany == 1.0f) {
        mescla_cancons(estereo, frames);
    } else {
        // The songs at their level: mixed apart, a slice at a time, then scaled into the output.
        for (int fet = 0; fet < frames;) {
            const int n = std::min(frames - fet, int(apart_.size() / 2));
            std::fill_n(apart_.begin(), 2 * n, 0.0f);
            mescla_cancons(apart_.data(), n);
            for (int i = 0; i < 2 * n; ++i) estereo[2 * fet + i] += guany * apart_[size_t(i)];
            fet += n;
        }
    }
    const canco_midi* midi = midi_audio_; // read while the window thread waits for us to let go
    const canco_flux* flux = flux_audio_;
    sonava_ = (midi && midi->sona()) || (flux && flux->sona());
    // A song raised over the instrument's notes, or near full scale under them, stays within the output's range.
    for (int i = 0; i < 2 * frames; ++i) estereo[i] = limita(estereo[i]);
    ++mescles_;
    mesclant_ = false;
}

void media_interpret::mescla_cancons(float* estereo, int frames) {
    if (canco_midi* midi = midi_audio_) midi->mescla(estereo, frames);
    if (canco_flux* flux = flux_audio_) flux->mescla(estereo, frames);
}

} // namespace brisola
