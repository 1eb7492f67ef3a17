#pragma once
// The audio device: 48 kHz stereo float in periods of 128 frames where the
// device takes them (else its own), filled by one render function on SDL's audio thread.
#include <QString>

#include <functional>

namespace brisola {

class sortida_audio {
public:
    using font = std::function<void(float* frames_estereo, int frames)>;
    static constexpr int freq_mostreig = 48000;
    static constexpr int frames_per_periode = 128;

    explicit sortida_audio(font render);
    ~sortida_audio();
    sortida_audio(const sortida_audio&) = delete;
    sortida_audio& operator=(const sortida_audio&) = delete;

    enum class resultat { so, mut, cap };
    // Opens the system's audio output; when there is none, opens SDL's silent
    // dummy driver so that everything else keeps its timing (mut). motiu()
    // then tells the system's reason.
    resultat obre();
    QString motiu() const { return motiu_; }
    QString driver() const { return driver_; }
    // The period the device gave, in frames.
    int frames() const { return frames_; }

private:
    static void callback(void* jo, unsigned char* bytes, int mida);
    bool obre_amb(const char* driver);
    font render_;
    unsigned dispositiu_ = 0;
    QString driver_;
    QString motiu_;
    int frames_ = frames_per_periode;
};

} // namespace brisola
