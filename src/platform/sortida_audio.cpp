#include "sortida_audio.h"

#include <SDL.h>


namespace brisola {

sortida_audio::sortida_audio(font render) : render_(std::move(render)) {}

sortida_audio::~sortida_audio() {
    if (dispositiu_ == 0) return;
    SDL_CloseAudioDevice(dispositiu_);
    SDL_AudioQuit();
}

void sortida_audio::callback(void* jo, unsigned char* bytes, int mida) {
    auto* self = static_cast<sortida_audio*>(jo);
    self->render_(reinterpret_cast<float*>(bytes), mida / int(2 * sizeof(float)));
}

bool sortida_audio::obre_amb(const char* driver) {
    if (SDL_AudioInit(driver) != 0) return false;
    SDL_AudioSpec vull{}, tinc{};
    vull.freq = freq_mostreig;
    vull.format = AUDIO_F32SYS;
    vull.channels = 2;
    vull.samples = frames_per_periode;
    vull.callback = &sortida_audio::callback;
    vull.userdata = this;
    dispositiu_ = SDL_OpenAudioDevice(nullptr, 0, &vull, &tinc, SDL_AUDIO_ALLOW_SAMPLES_CHANGE);
    if (dispositiu_ == 0) {
        SDL_AudioQuit();
        return false;
    }
    driver_ = SDL_GetCurrentAudioDriver();
    frames_ = tinc.samples;
    SDL_PauseAudioDevice(dispositiu_, 0);
    return true;
}

sortida_audio::resultat sortida_audio::obre() {
    SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
    if (obre_amb(nullptr)) return resultat::so;
    motiu_ = SDL_GetError();
    return obre_amb("dummy") ? resultat::mut : resultat::cap;
}

} // namespace brisola
