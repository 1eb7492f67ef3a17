#include "sessions/escriptor_diari.h"

#include "sessions/format_diari.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cmath>

namespace brisola {

namespace {

bool escriu_tot(int fd, const std::string& text) {
    for (size_t fet = 0; fet < text.size();) {
        ssize_t n = ::write(fd, text.data() + fet, text.size() - fet);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        fet += size_t(n);
    }
    return true;
}

} // namespace

std::unique_ptr<escriptor_diari> escriptor_diari::obre(const QString& cami, int64_t inici_ns, const info& dades) {
    int fd = ::open(cami.toUtf8().constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
    if (fd < 0) return nullptr;
    return std::make_unique<escriptor_diari>(fd, inici_ns, dades);
}

escriptor_diari::escriptor_diari(int fd, int64_t inici_ns, const info& dades) : fd_(fd), inici_ns_(inici_ns) {
    bufer_ = std::string(linies::capcalera) + "\n";
    for (const auto& [clau, valor] : dades) linia(linies::info, 0, (clau + " " + valor).toStdString());
    fil_ = std::thread([this] { treballa(); });
}

escriptor_diari::~escriptor_diari() {
    {
        std::lock_guard<std::mutex> l(mutex_);
        acaba_ = true;
    }
    cv_.notify_one();
    fil_.join();
    ::close(fd_);
}

void escriptor_diari::escriu(char tipus, int64_t ns, std::string camps) {
    if (fallat_) return;
    if (!cua_.empeny({ns, tipus, std::move(camps)})) ++perduts_;
}

void escriptor_diari::treballa() {
    std::unique_lock<std::mutex> l(mutex_);
    for (;;) {
        const bool darrer = cv_.wait_for(l, std::chrono::milliseconds(100), [this] { return acaba_; });
        l.unlock();
        buida();
        l.lock();
        if (darrer) return;
    }
}

void escriptor_diari::buida() {
    while (auto e = cua_.treu()) {
        const int64_t ms = std::llround(double(e->ns - inici_ns_) / 1e6);
        if (ms - darrera_marca_ >= 1000) {
            linia(linies::marca, ms, {});
            darrera_marca_ = ms;
        }
        linia(e->tipus, ms, e->camps);
    }
    if (bufer_.empty() || fallat_) return;
    if (!escriu_tot(fd_, bufer_)) fallat_ = true;
    bufer_.clear();
}

void escriptor_diari::linia(char tipus, int64_t ms, const std::string& camps) {
    bufer_ += tipus;
    bufer_ += std::to_string(tipus == linies::marca ? ms : ms - darrer_ms_);
    if (!camps.empty()) {
        bufer_ += ' ';
        bufer_ += camps;
    }
    bufer_ += '\n';
    darrer_ms_ = ms;
}

} // namespace brisola
