#pragma once
// midi_reproductor: the song player, driven through media command strings.
// MIDI songs live under the alias Mid1 and pause by running at tempo 1;
// other songs go by their short path with pause and resume.
#include "app/estat.h"

namespace brisola {

class media_sistema;

class midi_reproductor {
public:
    midi_reproductor(estat_compartit& estat, media_sistema& media, const QString& directori)
        : estat_(estat), media_(media), directori_(directori) {}

    void StopMidiSong();
    // 1 pauses the chosen song; any other value runs it at that tempo.
    void SetSongTempo(int16_t valor);

    // The file name of the chosen song (field 2 of its row), empty when there is none.
    QString fitxer_canco() const;
    QString cami_canco() const { return directori_ + "/" + fitxer_canco(); }
    // The three characters after the first dot, upper-cased, padded with blanks.
    static QString extensio_primer_punt(const QString& nom);

private:
    estat_compartit& estat_;
    media_sistema& media_;
    QString directori_;
};

} // namespace brisola
