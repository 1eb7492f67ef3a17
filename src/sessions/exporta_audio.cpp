#include "sessions/exporta_audio.h"

#include "platform/media_interpret.h"
#include "platform/sintetitzador.h"
#include "platform/sortida_audio.h"
#include "platform/volum_sistema.h"
#include "sessions/transport_canco.h"

#include <QFile>
#include <QFileInfo>

#include <sndfile.h>

#include <cmath>
#include <memory>
#include <vector>

namespace brisola {

namespace {

constexpr int freq = sortida_audio::freq_mostreig; // the rate it was heard at
constexpr int bloc = 64; // the synthesizer's own block: what it renders between two messages

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
    size_t ordre_ = 0, nivell_ = 0, midi_ = 0;
};

QString soundfont_de(const sessio& s) {
    const QString triat = s.info.value("soundfont");
    return QFileInfo::exists(triat) ? triat : sintetitzador::troba_soundfont();
}

} // namespace

resultat_exportacio exporta_audio(const sessio& s, const tros_sessio& tros, const QString& cami,
                                  const std::function<bool(double)>& progres) {
    resultat_exportacio r;
    r.absents = cancons_absents(s);
    const QString soundfont = soundfont_de(s);
    auto ren = std::make_unique<render>(soundfont);
    if (!ren->carregat()) return r.error = "soundfont: " + soundfont, r;

    SF_INFO info{};
    info.samplerate = freq;
    info.channels = 2;
    const bool flac = QFileInfo(cami).suffix().compare("flac", Qt::CaseInsensitive) == 0;
    info.format = (flac ? SF_FORMAT_FLAC : SF_FORMAT_WAV) | SF_FORMAT_PCM_16;
    const QString part = cami + ".part";
    std::unique_ptr<SNDFILE, tanca_sndfile> f(sf_open(part.toUtf8().constData(), SFM_WRITE, &info));
    if (!f) return r.error = sf_strerror(nullptr), r;
    sf_command(f.get(), SFC_SET_CLIPPING, nullptr, SF_TRUE);

    const int64_t fi = std::min(tros.fins_a, s.durada_ms) * freq / 1000;
    const int64_t inici = std::min(tros.des_de * freq / 1000, fi);
    std::vector<float> sortida(2 * bloc);
    bool escrit = true;
    for (int64_t frame = 0; frame < fi && escrit; frame += bloc) {
        const int n = int(std::min<int64_t>(bloc, fi - frame));
        std::fill(sortida.begin(), sortida.end(), 0.0f);
        ren->bloc_fins(frame + n, s, sortida.data(), n);
        // Before the part, the render still runs, so the part begins with the songs and sounds as they were.
        const int64_t des_de = std::max<int64_t>(inici - frame, 0);
        if (des_de < n) escrit = sf_writef_float(f.get(), sortida.data() + 2 * des_de, n - des_de) == n - des_de;
        if (progres && frame % (freq / 2) < bloc && !progres(double(frame) / double(fi))) {
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
