#include "platform/parla_qt.h"

#include <QLocale>
#include <QTextToSpeech>

namespace brisola {

parla_qt::parla_qt() = default;
parla_qt::~parla_qt() = default;

QTextToSpeech& parla_qt::veu() {
    if (!veu_) veu_ = std::make_unique<QTextToSpeech>();
    return *veu_;
}

bool parla_qt::disponible() { return veu().state() != QTextToSpeech::Error; }

void parla_qt::diu(const QString& text, const QString& idioma) {
    if (!disponible()) return;
    const QLocale lloc(idioma == "español" ? "es_ES" : idioma == "galego" ? "gl_ES" : "ca_ES");
    if (veu().locale() != lloc) veu().setLocale(lloc);
    veu().stop(); // the choice highlighted now, not the ones before it
    veu().say(text);
}

} // namespace brisola
