#pragma once
// Where the instrument keeps what: run from the build tree everything lies beside
// the program; installed, the shipped data lies in share/brisola/ (read-only) and
// the user's brisola.ini in $XDG_CONFIG_HOME/brisola/, copied there on first start.
#include <QString>

namespace brisola {

struct llocs {
    QString directori;    // the user's brisola.ini, and the first place for files the catalogue names
    QString dades;        // what we ship: the default catalogue, songs, pictures, the tracker's record
    QString biblioteques; // the tracker library
    QString sessions;     // the people's session journals: beside the program, or $XDG_DATA_HOME/brisola/sessions
};

// The places for a program living in `programa`; `config` is the user's
// configuration folder ($XDG_CONFIG_HOME or ~/.config), `dades_usuari` their data
// folder ($XDG_DATA_HOME or ~/.local/share). Never overwrites a user's file.
llocs troba_llocs(const QString& programa, const QString& config, const QString& dades_usuari = {});

} // namespace brisola
