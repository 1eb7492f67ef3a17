#pragma once
// A child process that opens the system's audio output and tells whether it
// could: an audio server that never answers holds the child, not the instrument.
#include <QString>

#include <atomic>
#include <sys/types.h>

namespace brisola {

class sonda_audio {
public:
    // The argument, followed by the parent's pid, that makes the program a probe.
    static constexpr const char* argument = "--sonda-de-so";

    // Starts `programa` as a probe.
    explicit sonda_audio(const QString& programa);
    // Kills a probe that has not answered, and reaps it.
    ~sonda_audio();
    sonda_audio(const sonda_audio&) = delete;
    sonda_audio& operator=(const sonda_audio&) = delete;

    enum class resposta { obert, refusat, cap };
    // The probe's answer, or cap when none came within `ms` (or `atura` was set).
    resposta espera(int ms, const std::atomic<bool>& atura);
    // The system's reason, when it refused.
    QString motiu() const { return motiu_; }

    // In the child: tells the parent whether the output opened (`obert`) and why not.
    static void respon(bool obert, const char* motiu);
    // In the child: whether it is still the probe of `pare`, and dies with it from now on.
    static bool lligada_a(pid_t pare);

private:
    pid_t pid_ = -1;
    int lectura_ = -1; // the pipe the child answers through
    bool ha_acabat_ = false;
    QString motiu_;
};

} // namespace brisola
