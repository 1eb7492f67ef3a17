// Writes two songs into a folder, as a user's catalogue might hold them: a
// MIDI song of half a minute and a recorded one, an MP3 at 44.1 kHz behind an ID3
// tag, both with blanks and accents in their names.
#include <sndfile.h>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

namespace {

void escriu(const std::string& cami, const std::string& bytes) { std::ofstream(cami, std::ios::binary) << bytes; }

std::string gran(uint32_t n, int bytes) {
    std::string s;
    for (int i = bytes - 1; i >= 0; --i) s += char((n >> (8 * i)) & 0xFF);
    return s;
}

// A note every eighth of a second for half a minute, on the piano.
std::string midi() {
    std::string pista = std::string("\x00\xFF\x51\x03", 4) + gran(500000, 3) + std::string("\x00\xC0\x00", 3);
    for (int i = 0; i < 240; ++i) {
        const char nota = char(60 + (i * 7) % 24);
        pista += std::string("\x00\x90", 2) + nota + '\x64' + std::string("\x78\x80", 2) + nota + '\x00';
    }
    pista += std::string("\x00\xFF\x2F\x00", 4);
    return "MThd" + gran(6, 4) + gran(0, 2) + gran(1, 2) + gran(480, 2) + "MTrk" + gran(uint32_t(pista.size()), 4) + pista;
}

bool mp3(const std::string& cami) {
    SF_INFO info{};
    info.samplerate = 44100;
    info.channels = 2;
    info.format = SF_FORMAT_MPEG | SF_FORMAT_MPEG_LAYER_III;
    SNDFILE* f = sf_open(cami.c_str(), SFM_WRITE, &info);
    if (!f) return false;
    std::vector<float> segon(2 * 44100);
    for (int s = 0; s < 60; ++s) {
        for (int i = 0; i < 44100; ++i) {
            const double t = s + i / 44100.0;
            segon[size_t(2 * i)] = segon[size_t(2 * i + 1)] = float(0.3 * std::sin(2 * M_PI * (220 + 20 * (s % 5)) * t));
        }
        sf_writef_float(f, segon.data(), 44100);
    }
    sf_close(f);
    return true;
}

// An ID3v2.3 tag naming the song, in front of the MPEG frames.
std::string amb_etiqueta(const std::string& frames) {
    const std::string text = std::string(1, '\0') + "Festa major";
    const std::string marc = "TIT2" + gran(uint32_t(text.size()), 4) + std::string(2, '\0') + text + std::string(200, '\0');
    const uint32_t n = uint32_t(marc.size());
    const std::string mida{char((n >> 21) & 0x7F), char((n >> 14) & 0x7F), char((n >> 7) & 0x7F), char(n & 0x7F)};
    return std::string("ID3\x03\x00\x00", 6) + mida + marc + frames;
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) return std::fputs("us: cancons_prova CARPETA\n", stderr), 2;
    const std::string carpeta = argv[1];
    escriu(carpeta + "/Cançó llarga.mid", midi());
    const std::string cru = carpeta + "/cru.mp3";
    if (!mp3(cru)) return std::fputs("no MP3 encoder\n", stderr), 1;
    std::ifstream f(cru, std::ios::binary);
    escriu(carpeta + "/Festa màgica.mp3", amb_etiqueta(std::string(std::istreambuf_iterator<char>(f), {})));
    std::remove(cru.c_str());
    return 0;
}
