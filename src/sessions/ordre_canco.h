#pragma once
// A song's command as the instrument gives it to the media interpreter, read
// once for the journal and its exports; and what a run of them leaves open.
#include <QString>

#include <cstdint>

namespace brisola {

struct ordre_canco {
    enum class verb { obre, juga, atura, tanca, tempo, pausa, repren, situa, estat, altre };
    verb v = verb::altre;
    bool mid1 = false; // the MIDI song (alias Mid1); else a WAV or MP3 song by its short path
    QString nom;       // the short path of a song it opens or names
    int64_t valor = -1; // "set … tempo N", "seek … to N", "play … from N"

    QString cami() const; // the file `nom` stands for
};

ordre_canco llegeix_ordre_canco(const QString& ordre);

// One song's state: which is open, whether it was played (and not stopped), whether held at tempo 1.
struct estat_canco {
    QString nom;
    bool en_marxa = false, retinguda = false;
    bool sona() const { return !nom.isEmpty() && en_marxa && !retinguda; }
    void aplica(const ordre_canco& o);
};

// The MIDI song and the WAV or MP3 song, each as its commands leave it.
struct cancons_obertes {
    estat_canco midi, flux;
    void aplica(const ordre_canco& o) { (o.mid1 ? midi : flux).aplica(o); }
    bool sona() const { return midi.sona() || flux.sona(); }
};

} // namespace brisola
