#pragma once
// What the song player needs to know of a Standard MIDI File before it plays:
// that it is one, its length in ticks and its tempo at the start.
#include <QByteArray>

#include <cstdint>
#include <optional>
#include <vector>

namespace brisola {

struct info_smf {
    int32_t llargada = 0; // ticks from the start to the end of the longest track
    int32_t tempo = 120;  // beats per minute at the start (120 when the file sets none)
    std::vector<int> programes; // the programs its melodic channels choose, for their samples to be read first
};

// Empty when the bytes are not a readable MIDI file.
std::optional<info_smf> llegeix_smf(const QByteArray& bytes);

struct esdeveniment_smf {
    double ms; // from the song's start, at its own tempo
    uint8_t estat, dada1, dada2;
    int64_t tic = 0;
};
// Every track's channel messages in time order; empty when the bytes are not a readable MIDI file.
std::optional<std::vector<esdeveniment_smf>> esdeveniments_smf(const QByteArray& bytes);

} // namespace brisola
