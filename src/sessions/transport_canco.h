#pragma once
// A MIDI song as the session ran it: opened, played, held at tempo 1,
// resumed, stopped (keeping its place) and closed at the journal's times.
#include "sessions/sessio.h"

#include <QStringList>

#include <functional>

namespace brisola {

struct esdeveniment_smf;

// The file a song's command names (its path is percent-encoded to keep it free of blanks).
QString cami_de_canco(const QString& ordre);

// Each of the song's messages at the session's millisecond it sounded, up to `fi`;
// a null message where the song fell silent (held or stopped). `absents`
// gets the songs that could not be read again.
void recorre_canco_midi(const sessio& s, int64_t fi, QStringList& absents,
                        const std::function<void(int64_t ms, const esdeveniment_smf* e)>& fes);

// The songs the session names that are no longer there, by file name.
QStringList cancons_absents(const sessio& s);

} // namespace brisola
