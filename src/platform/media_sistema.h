#pragma once
// The media command interpreter: command strings in ("play Mid1", "status Mid1
// length"...), text replies out. A command it does not understand, or one on
// a song that is not open, is refused with an empty reply.
#include <QString>

#include <cstdint>

namespace brisola {

enum : uint32_t {
    MCI_OK = 0,
    MCIERR_UNRECOGNIZED_COMMAND = 261,
    MCIERR_INVALID_DEVICE_NAME = 263, // no song open under that name
    MCIERR_FILE_NOT_FOUND = 275,
    MCIERR_INVALID_FILE = 304, // there, but not a song we can decode
};

// How many times each song played to its end: the MIDI song, the WAV or MP3 song.
struct finals_canco {
    uint32_t midi = 0, flux = 0;
};

class media_sistema {
public:
    virtual ~media_sistema() = default;
    // The reply; `error`, when asked for, gets MCI_OK or why the command was refused.
    virtual QString mciSendStringA(const QString& ordre, uint32_t* error = nullptr) = 0;
    // A blank-free name that stands for the file in commands, stable while
    // the file exists; empty when there is no such file.
    virtual QString ShortPath(const QString& cami) = 0;
    // Window thread: the songs' ends so far, whatever their kind and however they were played.
    virtual finals_canco finals() { return {}; }
};

} // namespace brisola
