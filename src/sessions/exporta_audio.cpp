#include "sessions/exporta_audio.h"

#include "platform/media_interpret.h"
#include "platform/sintetitzador.h"
#include "platform/sortida_audio.h"
#include "platform/volum_sistema.h"
#include "sessions/transport_canco.h"

#include <QFile>
#include <QFileInfo>

#include <sndfile.h>

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstring>
#include <memory>
#include <vector>

namespace brisola {

namespace {

constexpr int freq = sortida_audio::freq_mostreig; // the rate it was heard at
constexpr int bloc = 64; // the synthesizer's own block: what it renders between two messages
constexpr int64_t cua_maxima = 2 * freq; // frames rendered past the end while something still sounds
constexpr float silenci = 1e-4f;         // -80 dBFS

struct tanca_sndfile {
    void operator()(SNDFILE* f) const { sf_close(f); }
};

// The session's clock, run by the render: a message is stamped one latency
// before it was heard, so the synthesizer lays it on the frame it was heard.
class render {
public:
    render(const QString& soundfont) : synth_(freq, [this] { return ns_; }, [this] { return ara_; }), media_(synth_, freq), volum_(synth_, media_) {
        carregat_ = synth_.carrega(soundfont);
    }
    bool carregat() const { return carregat_; }

    void bloc_fins(int64_t frame_fi, const sessio& s, float* sortida, int frames) {
        const double ms_fi = double(frame_fi) * 1000.0 / freq;
        // What the journal lost may have ended them: every note ends where it has a gap.
        for (; llacuna_ < s.llacunes.size() && double(s.llacunes[llacuna_].ms) < ms_fi; ++llacuna_) {
            ns_ = s.llacunes[llacuna_].ms * 1000000 - synth_.latencia_ns();
            for (uint8_t canal = 0; canal < 16; ++canal) synth_.envia(uint8_t(0xb0 | canal), 123, 0);
        }
        for (; ordre_ < s.cancons.size() && double(s.cancons[ordre_].ms) < ms_fi; ++ordre_)
            media_.mciSendStringA(s.cancons[ordre_].text);
        for (; nivell_ < s.nivells.size() && double(s.nivells[nivell_].ms) < ms_fi; ++nivell_)
            volum_.set_guanys(s.nivells[nivell_].guanys);
        for (; midi_ < s.midi.size() && double(s.midi[midi_].ms) < ms_fi; ++midi_) {
            const auto& m = s.midi[midi_];
            ns_ = m.ms * 1000000 - synth_.latencia_ns();
            synth_.envia(m.estat, m.dada1, m.dada2);
        }
        ara_ = int64_t(std::llround(double(frame_fi - frames) * 1e9 / freq));
        synth_.render(sortida, frames);
        media_.espera_cancons(frames);
        media_.mescla(sortida, frames);
    }

private:
    int64_t ns_ = 0, ara_ = 0;
    sintetitzador synth_;
    media_interpret media_;
    volum_intern volum_;
    bool carregat_ = false;
    size_t ordre_ = 0, nivell_ = 0, midi_ = 0, llacuna_ = 0;
};

QString soundfont_de(const sessio& s) {
    const QString triat = s.info.value("soundfont");
    return QFileInfo::exists(triat) ? triat : sintetitzador::troba_soundfont();
}

bool en_silenci(const std::vector<float>& sortida, int frames) {
    return std::all_of(sortida.begin(), sortida.begin() + 2 * frames, [](float x) { return std::fabs(x) < silenci; });
}

// The part file, its owner's only from the start (the person may share the export afterwards).
SNDFILE* obre_part(const QString& part, SF_INFO& info, QString& error) {
    const int fd = ::open(QFile::encodeName(part).constData(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
    if (fd < 0) return error = std::strerror(errno), nullptr;
    SNDFILE* f = sf_open_fd(fd, SFM_WRITE, &info, SF_TRUE);
    if (!f) error = sf_strerror(nullptr);
    return f;
}

} // namespace

resultat_exportacio exporta_audio(const sessio& s, const tros_sessio& tros, const QString& cami,
                                  const std::function<bool(double)>& progres) {
    resultat_exportacio r;
    r.absents = cancons_absents(s);
    const QString soundfont = soundfont_de(s);
    if (soundfont != s.info.value("soundfont")) r.soundfont = soundfont;
    auto ren = std::make_unique<render>(soundfont);
    if (!ren->carregat()) return r.error = "soundfont: " + soundfont, r;

    SF_INFO info{};
    info.samplerate = freq;
    info.channels = 2;
    const bool flac = QFileInfo(cami).suffix().compare("flac", Qt::CaseInsensitive) == 0;
    info.format = (flac ? SF_FORMAT_FLAC : SF_FORMAT_WAV) | SF_FORMAT_PCM_16;
    const QString part = cami + ".part";
    std::unique_ptr<SNDFILE, tanca_sndfile> f(obre_part(part, info, r.error));
    if (!f) return r;
    sf_command(f.get(), SFC_SET_CLIPPING, nullptr, SF_TRUE);

    const int64_t fi = std::min(tros.fins_a, s.durada_ms) * freq / 1000;
    const int64_t inici = std::min(tros.des_de * freq / 1000, fi);
    std::vector<float> sortida(2 * bloc);
    bool escrit = true;
    for (int64_t frame = 0; frame < fi + cua_maxima && escrit; frame += bloc) {
        const int n = int(frame < fi ? std::min<int64_t>(bloc, fi - frame) : bloc);
        std::fill(sortida.begin(), sortida.end(), 0.0f);
        ren->bloc_fins(frame + n, s, sortida.data(), n);
        if (frame >= fi && en_silenci(sortida, n)) break;
        // Before the part, the render still runs, so the part begins with the songs and sounds as they were.
        const int64_t des_de = std::max<int64_t>(inici - frame, 0);
        if (des_de < n) escrit = sf_writef_float(f.get(), sortida.data() + 2 * des_de, n - des_de) == n - des_de;
        if (progres && frame % (freq / 2) < bloc && !progres(std::min(1.0, double(frame) / double(fi)))) {
            r.cancellada = true;
            break;
        }
    }
    if (!escrit) r.error = sf_strerror(f.get());
    f.reset();
    if (!escrit || r.cancellada) {
        QFile::remove(part);
        return r;
    }
    QFile::remove(cami);
    if (!QFile::rename(part, cami)) r.error = QFile(part).errorString();
    return r;
}

} // namespace brisola
