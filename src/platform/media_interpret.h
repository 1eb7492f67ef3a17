#pragma once
// The program's media command interpreter over two real players mixed into
// the instrument's audio output: MIDI songs under the alias Mid1, and WAV or
// MP3 songs under their short path.
#include "media_sistema.h"

#include <QStringList>

#include <array>
#include <atomic>
#include <functional>
#include <memory>

namespace brisola {

class canco_flux;
class canco_midi;
class sintetitzador;

// The file a short path stands for (ShortPath percent-encodes it), whether or not it is there.
QString cami_de_nom_curt(const QString& sp);

class media_interpret : public media_sistema {
public:
    // MIDI songs share the instrument's synthesizer's soundfont, and have it read their samples first.
    media_interpret(sintetitzador& instrument, int freq_mostreig);
    ~media_interpret() override;

    QString mciSendStringA(const QString& ordre, uint32_t* error = nullptr) override;
    QString ShortPath(const QString& cami) override;
    finals_canco finals() override;

    // Audio thread: adds whatever song sounds to `estereo`. Never waits, reads or allocates.
    void mescla(float* estereo, int frames);
    // For a render faster than real time, before it mixes `frames`: waits for the song's decoder.
    void espera_cancons(int frames);
    // Audio thread, after a mix: whether a song played in it (a song at rest needs no output).
    bool sona() const { return sonava_; }
    // Runs after each command that can make a song sound (window thread), for an output that rests to wake up.
    void set_despertador(std::function<void()> desperta) { despertador_ = std::move(desperta); }
    // The songs' level, as a factor of their amplitude (1: as recorded).
    void set_guany(float guany) { guany_ = guany; }

private:
    uint32_t ordre_mid1(const QStringList& paraules, QString& resposta);
    uint32_t ordre_fitxer(const QStringList& paraules, QString& resposta);
    uint32_t obre_mid1(const QString& sp);
    uint32_t juga_fitxer(const QString& sp, int64_t des_de_ms);
    void posa_midi(std::unique_ptr<canco_midi> nova);
    void posa_flux(std::unique_ptr<canco_flux> nova, const QString& sp);
    // Returns once the audio thread no longer uses what it saw before.
    void espera_audio();
    void mescla_cancons(float* estereo, int frames);

    sintetitzador& instrument_;
    int freq_mostreig_;
    std::unique_ptr<canco_midi> midi_;
    std::unique_ptr<canco_flux> flux_;
    QString sp_flux_;
    std::function<void()> despertador_;
    finals_canco finals_;
    bool final_midi_ = false, final_flux_ = false; // the song open now was counted as ended
    std::atomic<canco_midi*> midi_audio_{nullptr};
    std::atomic<canco_flux*> flux_audio_{nullptr};
    std::atomic<bool> mesclant_{false}, sonava_{false};
    std::atomic<uint64_t> mescles_{0};
    std::atomic<float> guany_{1.0f};
    std::array<float, 2 * 1024> apart_{}; // the songs mixed apart while their level is not 1
};

} // namespace brisola
