#pragma once
// midi_reproductor: the song player, driven through media command strings.
namespace brisola {

class media_sistema;

class midi_reproductor {
public:
    explicit midi_reproductor(media_sistema& media) : media_(media) {}
    void StopMidiSong();

private:
    media_sistema& media_;
};

} // namespace brisola
