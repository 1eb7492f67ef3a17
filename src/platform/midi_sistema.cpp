#include "midi_sistema.h"

namespace brisola {

QString text_error_midi(uint32_t codi) {
    switch (codi) {
    case MMSYSERR_NOERROR: return "No hi ha cap error.";
    case MMSYSERR_BADDEVICEID: return "El dispositiu MIDI triat no existeix.";
    case MMSYSERR_ALLOCATED: return "El dispositiu MIDI està ocupat per un altre programa.";
    case MMSYSERR_INVALHANDLE:
        return "No hi ha cap dispositiu MIDI obert. Trieu-ne un a Opcions > Test Midi.";
    case MMSYSERR_NODRIVER: return "El sistema no té cap controlador MIDI per a aquest dispositiu.";
    case MMSYSERR_INVALPARAM: return "El missatge MIDI no és vàlid.";
    case MIDIERR_NODEVICE:
        return "El dispositiu MIDI ja no hi és. Trieu-ne un altre a Opcions > Test Midi "
               "(el sintetitzador integrat sempre hi és).";
    default: return QString("Error MIDI %1 del sistema.").arg(codi);
    }
}

} // namespace brisola
