#pragma once
// A session, or a part of it, as a Standard MIDI File (type 1) timed to the
// millisecond: one track for the pointer's notes, one for the drums, one for
// a MIDI song's own events, read again from its file and laid at the times
// the song ran. The instrument ends its notes by silencing the channel: each
// silencing ends the notes sounding on it.
#include "sessions/sessio.h"

#include <QByteArray>
#include <QStringList>

#include <climits>

namespace brisola {

// Milliseconds of the session to export; the part starts the file at its time 0.
struct tros_sessio {
    int64_t des_de = 0, fins_a = INT64_MAX;
};

// The file's bytes; `absents` gets the songs the session names that are no longer there.
QByteArray smf_de_sessio(const sessio& s, const tros_sessio& tros, QStringList& absents);

} // namespace brisola
