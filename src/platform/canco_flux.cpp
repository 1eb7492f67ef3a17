#include "canco_flux.h"

#include <QFile>

#include <samplerate.h>
#include <sndfile.h>

#include <algorithm>
#include <chrono>
#include <cmath>

namespace brisola {

namespace {
constexpr size_t frames_per_bloc = 2048;
constexpr size_t frames_anell = 32768; // about 0.7 s at 48 kHz: ample for a decoder that wakes every 5 ms
} // namespace

std::unique_ptr<canco_flux> canco_flux::obre(const QString& cami, int freq_sortida, int64_t des_de_ms) {
    SF_INFO info{};
    SNDFILE* fitxer = sf_open(QFile::encodeName(cami).constData(), SFM_READ, &info);
    if (!fitxer) return nullptr;
    double rati = double(freq_sortida) / std::max(info.samplerate, 1);
    int error = 0;
    SRC_STATE* src = rati != 1 && src_is_valid_ratio(rati) ? src_new(SRC_SINC_FASTEST, 2, &error) : nullptr;
    // A song that cannot be brought to the output's rate would play at the wrong speed: it is refused.
    if (info.channels < 1 || info.samplerate < 1 || info.frames < 1 || (rati != 1 && !src)) {
        if (src) src_delete(src);
        sf_close(fitxer);
        return nullptr;
    }
    des_de_ms = std::clamp<int64_t>(des_de_ms, 0, info.frames * 1000 / info.samplerate);
    sf_seek(fitxer, des_de_ms * info.samplerate / 1000, SEEK_SET);
    return std::unique_ptr<canco_flux>(new canco_flux(fitxer, src, info.channels, rati, freq_sortida, des_de_ms));
}

canco_flux::canco_flux(SNDFILE* fitxer, SRC_STATE* src, int canals, double rati, int freq_sortida, int64_t des_de_ms)
    : fitxer_(fitxer), src_(src), canals_(canals), rati_(rati), freq_sortida_(freq_sortida), des_de_ms_(des_de_ms), anell_(frames_anell) {
    fil_ = std::thread([this] { descodifica(); });
}

canco_flux::~canco_flux() {
    acaba_ = true;
    fil_.join();
    if (src_) src_delete(src_);
    sf_close(fitxer_);
}

QString canco_flux::mode() const {
    if (descodificat_ && anell_.ocupat() == 0) return "stopped";
    return sona_ ? "playing" : "paused";
}

void canco_flux::mescla(float* sortida, int frames) {
    if (!sona_) return;
    mesclats_.fetch_add(int64_t(anell_.mescla(sortida, size_t(frames))), std::memory_order_relaxed);
}

size_t canco_flux::llegeix_bloc(std::vector<float>& entrada, std::vector<float>& estereo) {
    sf_count_t llegits = sf_readf_float(fitxer_, entrada.data(), sf_count_t(frames_per_bloc));
    for (sf_count_t i = 0; i < llegits; ++i) {
        // Mono plays on both sides; beyond two channels, the first two are the stereo pair.
        const float* f = &entrada[size_t(i * canals_)];
        estereo[size_t(2 * i)] = f[0];
        estereo[size_t(2 * i + 1)] = canals_ > 1 ? f[1] : f[0];
    }
    return size_t(std::max<sf_count_t>(llegits, 0));
}

bool canco_flux::escriu(const float* estereo, size_t frames) {
    for (size_t fet = 0; fet < frames && !acaba_;) {
        fet += anell_.escriu(estereo + 2 * fet, frames - fet);
        if (fet < frames) std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return !acaba_;
}

// Every input frame goes through, and at the end the resampler gives up what it still holds.
bool canco_flux::reamostra(const float* estereo, size_t frames, bool darrer, std::vector<float>& sortida) {
    SRC_DATA dades{};
    dades.data_in = estereo;
    dades.input_frames = long(frames);
    dades.end_of_input = darrer;
    dades.src_ratio = rati_;
    for (;;) {
        dades.data_out = sortida.data();
        dades.output_frames = long(sortida.size() / 2);
        if (src_process(src_, &dades) != 0) return false;
        if (!escriu(sortida.data(), size_t(dades.output_frames_gen))) return false;
        dades.data_in += 2 * dades.input_frames_used;
        dades.input_frames -= dades.input_frames_used;
        if (dades.input_frames == 0 && (!darrer || dades.output_frames_gen == 0)) return true;
    }
}

void canco_flux::descodifica() {
    std::vector<float> entrada(frames_per_bloc * size_t(canals_)), estereo(2 * frames_per_bloc);
    std::vector<float> sortida(2 * (size_t(std::ceil(frames_per_bloc * rati_)) + 64));
    for (bool darrer = false; !darrer;) {
        size_t frames = llegeix_bloc(entrada, estereo);
        darrer = frames < frames_per_bloc;
        bool seguir = src_ ? reamostra(estereo.data(), frames, darrer, sortida) : escriu(estereo.data(), frames);
        if (!seguir) break;
    }
    descodificat_ = true;
}

} // namespace brisola
