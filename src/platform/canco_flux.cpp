#include "canco_flux.h"

#include <QFile>

#include <samplerate.h>
#include <sndfile.h>

#include <chrono>
#include <cmath>

namespace brisola {

namespace {
constexpr size_t frames_per_bloc = 2048;
constexpr size_t frames_anell = 32768; // about 0.7 s at 48 kHz: ample for a decoder that wakes every 5 ms
} // namespace

std::unique_ptr<canco_flux> canco_flux::obre(const QString& cami, int freq_sortida) {
    SF_INFO info{};
    SNDFILE* fitxer = sf_open(QFile::encodeName(cami).constData(), SFM_READ, &info);
    if (!fitxer) return nullptr;
    if (info.channels < 1 || info.samplerate < 1 || info.frames < 1) {
        sf_close(fitxer);
        return nullptr;
    }
    return std::unique_ptr<canco_flux>(new canco_flux(fitxer, info.channels, double(freq_sortida) / info.samplerate));
}

canco_flux::canco_flux(SNDFILE* fitxer, int canals, double rati)
    : fitxer_(fitxer), canals_(canals), rati_(rati), anell_(frames_anell) {
    int error = 0;
    if (rati_ != 1) src_ = src_new(SRC_SINC_FASTEST, 2, &error);
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
    if (sona_) anell_.mescla(sortida, size_t(frames));
}

canco_flux::bloc canco_flux::llegeix_bloc(std::vector<float>& entrada, std::vector<float>& estereo,
                                          std::vector<float>& sortida) {
    sf_count_t llegits = sf_readf_float(fitxer_, entrada.data(), sf_count_t(frames_per_bloc));
    for (sf_count_t i = 0; i < llegits; ++i) {
        // Mono plays on both sides; beyond two channels, the first two are the stereo pair.
        const float* f = &entrada[size_t(i * canals_)];
        estereo[size_t(2 * i)] = f[0];
        estereo[size_t(2 * i + 1)] = canals_ > 1 ? f[1] : f[0];
    }
    bool darrer = llegits < sf_count_t(frames_per_bloc);
    if (!src_) {
        std::copy_n(estereo.begin(), 2 * llegits, sortida.begin());
        return {size_t(llegits), darrer};
    }
    SRC_DATA dades{};
    dades.data_in = estereo.data();
    dades.input_frames = long(llegits);
    dades.data_out = sortida.data();
    dades.output_frames = long(sortida.size() / 2);
    dades.end_of_input = darrer;
    dades.src_ratio = rati_;
    if (src_process(src_, &dades) != 0) return {0, true};
    return {size_t(dades.output_frames_gen), darrer};
}

void canco_flux::descodifica() {
    std::vector<float> entrada(frames_per_bloc * size_t(canals_)), estereo(2 * frames_per_bloc);
    std::vector<float> sortida(2 * (size_t(std::ceil(frames_per_bloc * rati_)) + 64));
    for (bool darrer = false; !darrer && !acaba_;) {
        auto [frames, fi] = llegeix_bloc(entrada, estereo, sortida);
        darrer = fi;
        for (size_t fet = 0; fet < frames && !acaba_;) {
            fet += anell_.escriu(sortida.data() + 2 * fet, frames - fet);
            if (fet < frames) std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
    }
    descodificat_ = true;
}

} // namespace brisola
