#pragma once
// midi_reproductor: the song player, driven through media command strings.
// MIDI songs live under the alias Mid1 and pause by running at tempo 1;
// other songs go by their short path with pause and resume.
#include "app/estat.h"

namespace brisola {

class MIDI_OUT;
class media_sistema;
class missatges;

class midi_reproductor {
public:
    // `carpetes`: where song files named by the catalogue are looked for, in order.
    midi_reproductor(estat_compartit& estat, media_sistema& media, MIDI_OUT& midi_out, missatges& caixes,
                     const QStringList& carpetes)
        : estat_(estat), media_(media), midi_out_(midi_out), caixes_(caixes), carpetes_(carpetes) {}

    void PlayMidiSong(const QString& cami);
    void PlayMediaSong(const QString& cami);
    // 1 pauses the chosen song; any other value runs it at that tempo.
    void SetSongTempo(int16_t valor);
    void StopMidiSong();
    void StopCurrentSong();

    // The file name of the chosen song (field 2 of its row), empty when there is none.
    QString fitxer_canco() const;
    QString cami_canco() const;
    // The name a WAV or MP3 song goes by in commands: the one it was started with,
    // which stays valid while it is open, even if its file goes.
    QString nom_curt() const;
    // The three characters after the first dot, upper-cased, padded with blanks.
    static QString extensio_primer_punt(const QString& nom);
    // The last three characters, blanks around them removed, upper-cased.
    static QString extensio_tres_darrers(const QString& nom);

private:
    // A reply of the 128-character buffer (127 characters and the NUL).
    QString envia_mid1(const QString& ordre, uint32_t* error = nullptr);
    // Nothing plays and no song stays chosen; one message names the file.
    void no_es_pot_llegir(const QString& cami);

    estat_compartit& estat_;
    media_sistema& media_;
    MIDI_OUT& midi_out_;
    missatges& caixes_;
    QStringList carpetes_;
    QString sp_media_; // the WAV or MP3 song playing, by the name it was started with
};

} // namespace brisola
