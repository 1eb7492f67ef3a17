#pragma once
// A session's journal read back: whole lines only, so a file cut by a crash
// or a full disk reads up to its last whole line; a spoiled line and a kind
// from a later version are passed over and counted.
#include "platform/volum_sistema.h"

#include <QMap>
#include <QString>

#include <array>
#include <cstdint>
#include <optional>
#include <vector>

namespace brisola {

struct sessio {
    struct missatge {
        int64_t ms;
        uint8_t estat, dada1, dada2;
    };
    struct ordre {
        int64_t ms;
        QString text;
    };
    struct tria {
        int64_t ms;
        QString clau, valor;
    };
    struct pulsacio {
        int64_t ms;
        bool premsa, acceptada;
    };
    struct lloc {
        int64_t ms;
        std::array<int, 4> per_mil; // as reached x, y; after the reach mapping x, y
    };
    struct nivell {
        int64_t ms;
        guanys_so guanys;
    };
    // Events the journal lost: what happened from `ms` to `fins_ms` is not all there.
    struct llacuna {
        int64_t ms, fins_ms;
        int64_t perduts;
    };

    QMap<QString, QString> info; // persona, inici, soundfont
    std::vector<missatge> midi;
    std::vector<ordre> cancons;
    std::vector<tria> tries;
    std::vector<pulsacio> pulsador;
    std::vector<lloc> punter;
    std::vector<nivell> nivells;
    std::vector<llacuna> llacunes;
    int64_t durada_ms = 0;
    int passades = 0; // lines spoiled or of an unknown kind
};

// Empty when the file cannot be read or is not a journal.
std::optional<sessio> llegeix_sessio(const QString& cami);
std::optional<sessio> llegeix_sessio(const QByteArray& bytes);

} // namespace brisola
