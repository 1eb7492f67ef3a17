#include "sonda_audio.h"

#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <csignal>
#include <cstring>
#include <string>

extern char** environ;

namespace brisola {

namespace {

// The descriptor the child answers on: one byte ('0' opened, '1' not), then the reason.
constexpr int descriptor_resposta = 3;

} // namespace

sonda_audio::sonda_audio(const QString& programa) {
    int tub[2];
    if (pipe2(tub, O_CLOEXEC) != 0) return;
    std::string cami = programa.toStdString(), pare = std::to_string(getpid()), arg = argument;
    char* args[] = {cami.data(), arg.data(), pare.data(), nullptr};
    posix_spawn_file_actions_t accions;
    posix_spawn_file_actions_init(&accions);
    posix_spawn_file_actions_adddup2(&accions, tub[1], descriptor_resposta);
    if (posix_spawn(&pid_, cami.c_str(), &accions, nullptr, args, environ) != 0) pid_ = -1;
    posix_spawn_file_actions_destroy(&accions);
    close(tub[1]);
    if (pid_ > 0) lectura_ = tub[0];
    else close(tub[0]);
}

sonda_audio::~sonda_audio() {
    if (lectura_ >= 0) close(lectura_);
    if (pid_ <= 0) return;
    // A child that closed its end has ended (or is ending): only a silent one is
    // killed, so no pid is signalled after the kernel reaped it (SIGCHLD ignored).
    if (!ha_acabat_) kill(pid_, SIGKILL);
    waitpid(pid_, nullptr, 0);
}

sonda_audio::resposta sonda_audio::espera(int ms, const std::atomic<bool>& atura) {
    if (lectura_ < 0) return resposta::refusat;
    const auto fi = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
    while (!atura && std::chrono::steady_clock::now() < fi) {
        pollfd p{lectura_, POLLIN, 0};
        if (poll(&p, 1, 10) <= 0) continue;
        char text[512] = {};
        ssize_t n = read(lectura_, text, sizeof text - 1);
        ha_acabat_ = true;
        if (n > 0 && text[0] == '0') return resposta::obert;
        motiu_ = n > 1 ? QString::fromUtf8(text + 1) : QString("the audio probe ended without an answer");
        return resposta::refusat;
    }
    return resposta::cap;
}

void sonda_audio::respon(bool obert, const char* motiu) {
    std::string text = obert ? "0" : std::string("1") + motiu;
    [[maybe_unused]] ssize_t n = write(descriptor_resposta, text.data(), text.size());
}

bool sonda_audio::lligada_a(pid_t pare) {
    prctl(PR_SET_PDEATHSIG, SIGKILL);
    return getppid() == pare; // the parent may have died before the line above
}

} // namespace brisola
