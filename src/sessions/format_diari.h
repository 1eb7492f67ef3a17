#pragma once
// A session's journal, one event a line so that a file cut short reads up to
// its last whole line. The first line is the header; then each line is a
// letter for the event's kind, the milliseconds since the line before
// (negative when it was heard before it), a blank and its fields. A "T" line
// gives the time since the start outright once a second, so a spoiled line
// shifts what follows by a second at most. Kinds a reader does not know keep
// the time and are passed over.
namespace brisola::linies {

inline constexpr char capcalera[] = "brisola-diari 1";

enum : char {
    info = 'I',      // key and value: person, start, soundfont…
    marca = 'T',     // the time outright, no fields
    midi = 'M',      // a message as heard: six hex digits (status, data, data)
    canco = 'S',     // a song's command as given, the song's path resolved
    tria = 'C',      // a choice: key and value
    pulsador = 'K',  // the switch as pressed: 1 or 0
    acceptat = 'A',  // the switch as the surface got it: 1 or 0
    punter = 'P',    // the place as reached and after the reach mapping: four per-mille numbers
    nivells = 'G',   // levels, ten-thousandths: synthesizer, songs, channels 1 to 16
    llacuna = 'L',   // events lost from a full queue, from this line's time: how many, over how many ms
};

} // namespace brisola::linies
