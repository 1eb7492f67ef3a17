#pragma once
// The program's media command interpreter. Songs are not played yet, so every
// command is refused with an empty reply, as an unknown command is.
#include "media_sistema.h"

namespace brisola {

class media_interpret : public media_sistema {
public:
    QString mciSendStringA(const QString&) override { return {}; }
    QString ShortPath(const QString& cami) override;
};

} // namespace brisola
