#pragma once
// The built-in General MIDI synthesizer. Messages arrive on the window thread,
// rendering happens on the audio thread; FluidSynth's own locking keeps the two apart.
#include <QString>

#include <atomic>
#include <cstdint>
#include <functional>
#include <thread>

struct _fluid_hashtable_t;
struct _fluid_sfont_t;
struct _fluid_synth_t;

namespace brisola {

class sintetitzador {
public:
    explicit sintetitzador(double freq_mostreig);
    ~sintetitzador();
    sintetitzador(const sintetitzador&) = delete;
    sintetitzador& operator=(const sintetitzador&) = delete;

    // The system's General MIDI soundfont, or empty when none is installed.
    static QString troba_soundfont();

    // Loads now; false when the file is missing or not a soundfont.
    bool carrega(const QString& cami);
    // Loads on a thread of its own so the window shows at once; `fet` runs
    // on that thread with whether it loaded.
    void carrega_en_segon_pla(const QString& cami, std::function<void(bool)> fet);
    bool carregat() const { return carregat_.load(); }
    // The loaded soundfont, for the song player's synthesizer to share; waits
    // for a load still running. Null when none could be loaded.
    _fluid_sfont_t* soundfont();

    // One channel message, bytes as they go on the wire.
    void envia(uint8_t estat, uint8_t dada1, uint8_t dada2);
    // Fills `frames` interleaved stereo float frames.
    void render(float* sortida, int frames);

private:
    _fluid_hashtable_t* settings_ = nullptr;
    _fluid_synth_t* synth_ = nullptr;
    std::thread carregador_;
    std::atomic<bool> carregat_{false};

public:
    // Waits for a load started by carrega_en_segon_pla.
    void espera_carrega() {
        if (carregador_.joinable()) carregador_.join();
    }
};

} // namespace brisola
