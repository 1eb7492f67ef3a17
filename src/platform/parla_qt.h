#pragma once
// The system's speech (speech-dispatcher through Qt's text to speech).
#include "platform/parla_sistema.h"

#include <memory>

class QTextToSpeech;

namespace brisola {

class parla_qt : public parla_sistema {
public:
    parla_qt();
    ~parla_qt() override;
    bool disponible() override;
    void diu(const QString& text, const QString& idioma) override;

private:
    // Made at the first use: the speech server is asked for only by a person who wants it.
    QTextToSpeech& veu();
    std::unique_ptr<QTextToSpeech> veu_;
};

} // namespace brisola
