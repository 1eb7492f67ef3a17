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
};

} // namespace brisola
