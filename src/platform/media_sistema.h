#pragma once
// The media command interpreter: command strings in ("play Mid1", "status Mid1
// length"...), text replies out. A command it does not understand is refused
// with an empty reply, which callers never check.
#include <QString>

namespace brisola {

class media_sistema {
public:
    virtual ~media_sistema() = default;
    virtual QString mciSendStringA(const QString& ordre) = 0;
    // A blank-free name that stands for the file in commands, stable while
    // the file exists; empty when there is no such file.
    virtual QString ShortPath(const QString& cami) = 0;
};

} // namespace brisola
