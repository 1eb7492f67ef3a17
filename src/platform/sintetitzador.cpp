#include "sintetitzador.h"

#include <QFileInfo>

#include <fluidsynth.h>

namespace brisola {

sintetitzador::sintetitzador(double freq_mostreig) {
    settings_ = new_fluid_settings();
    fluid_settings_setnum(settings_, "synth.sample-rate", freq_mostreig);
    fluid_settings_setint(settings_, "synth.threadsafe-api", 1);
    synth_ = new_fluid_synth(settings_);
}

sintetitzador::~sintetitzador() {
    if (carregador_.joinable()) carregador_.join();
    delete_fluid_synth(synth_);
    delete_fluid_settings(settings_);
}

QString sintetitzador::troba_soundfont() {
    for (const char* cami : {"/usr/share/sounds/sf2/default-GM.sf2", "/usr/share/soundfonts/default.sf2",
                             "/usr/share/sounds/sf2/FluidR3_GM.sf2", "/usr/share/soundfonts/FluidR3_GM.sf2",
                             "/usr/share/sounds/sf2/TimGM6mb.sf2"})
        if (QFileInfo(cami).isReadable()) return cami;
    return {};
}

bool sintetitzador::carrega(const QString& cami) {
    if (cami.isEmpty() || !fluid_is_soundfont(cami.toLocal8Bit().constData())) return false;
    bool ok = fluid_synth_sfload(synth_, cami.toLocal8Bit().constData(), 1) != FLUID_FAILED;
    carregat_ = ok;
    return ok;
}

void sintetitzador::carrega_en_segon_pla(const QString& cami, std::function<void(bool)> fet) {
    carregador_ = std::thread([this, cami, fet = std::move(fet)] { fet(carrega(cami)); });
}

fluid_sfont_t* sintetitzador::soundfont() {
    espera_carrega();
    return carregat_ ? fluid_synth_get_sfont(synth_, 0) : nullptr;
}

void sintetitzador::envia(uint8_t estat, uint8_t dada1, uint8_t dada2) {
    int canal = estat & 0x0F;
    switch (estat & 0xF0) {
    case 0x80: fluid_synth_noteoff(synth_, canal, dada1); break;
    case 0x90:
        if (dada2 == 0) fluid_synth_noteoff(synth_, canal, dada1);
        else fluid_synth_noteon(synth_, canal, dada1, dada2);
        break;
    case 0xA0: fluid_synth_key_pressure(synth_, canal, dada1, dada2); break;
    case 0xB0: fluid_synth_cc(synth_, canal, dada1, dada2); break;
    case 0xC0: fluid_synth_program_change(synth_, canal, dada1); break;
    case 0xD0: fluid_synth_channel_pressure(synth_, canal, dada1); break;
    case 0xE0: fluid_synth_pitch_bend(synth_, canal, dada1 | (dada2 << 7)); break;
    default: break;
    }
}

void sintetitzador::render(float* sortida, int frames) {
    fluid_synth_write_float(synth_, frames, sortida, 0, 2, sortida, 1, 2);
}

} // namespace brisola
