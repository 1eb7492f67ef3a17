#include "midi_reproductor.h"

#include "platform/media_sistema.h"

namespace brisola {

void midi_reproductor::StopMidiSong() {
    media_.mciSendStringA("Stop Mid1");
    media_.mciSendStringA("Close Mid1");
}

} // namespace brisola
