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

escriptor_diari::escriptor_diari(int fd, int64_t inici_ns, const info& dades)
    : escriptor_diari([fd](QString&) { return fd; }, inici_ns, dades) {}

escriptor_diari::escriptor_diari(obridor o, int64_t inici_ns, const info& dades) : inici_ns_(inici_ns) {
    bufer_ = std::string(linies::capcalera) + "\n";
    for (const auto& [clau, valor] : dades) linia(linies::info, 0, (clau + " " + valor).toStdString());
    fil_ = std::thread([this, o = std::move(o)] { treballa(o); });
}

escriptor_diari::~escriptor_diari() {
    acaba();
    fil_.join();
}

QString escriptor_diari::cami() const {
    std::lock_guard<std::mutex> l(mutex_);
    return cami_;
}

void escriptor_diari::escriu(char tipus, int64_t ns, std::string camps) {
    if (fallat_ || no_obert_) return;
    if (tanca_llacuna() && cua_.empeny({ns, tipus, std::move(camps)})) return;
    if (llacuna_++ == 0) llacuna_des_de_ = ns;
    llacuna_fins_a_ = ns;
    ++perduts_;
}

bool escriptor_diari::tanca_llacuna() {
    if (llacuna_ == 0) return true;
    const int64_t ms = std::llround(double(llacuna_fins_a_ - llacuna_des_de_) / 1e6);
    if (!cua_.empeny({llacuna_des_de_, linies::llacuna, std::to_string(llacuna_) + " " + std::to_string(ms)})) return false;
    llacuna_ = 0;
    return true;
}

void escriptor_diari::acaba() {
    std::lock_guard<std::mutex> l(mutex_);
    if (acaba_) return;
    acaba_ = true;
    if (!tanca_llacuna()) {
        // The writer takes it last, once it has emptied the queue.
        const int64_t ms = std::llround(double(llacuna_fins_a_ - llacuna_des_de_) / 1e6);
        darrera_ = entrada{llacuna_des_de_, linies::llacuna, std::to_string(llacuna_) + " " + std::to_string(ms)};
    }
    cv_.notify_one();
}

void escriptor_diari::treballa(const obridor& o) {
    QString cami;
    const int fd = o(cami);
    {
        std::lock_guard<std::mutex> l(mutex_);
        cami_ = cami;
    }
    if (fd < 0) {
        no_obert_ = true;
        acabat_ = true;
        return;
    }
    fd_ = fd;
    std::unique_lock<std::mutex> l(mutex_);
    for (bool darrer = false; !darrer;) {
        darrer = cv_.wait_for(l, std::chrono::milliseconds(100), [this] { return acaba_; });
        l.unlock();
        buida();
        l.lock();
    }
    if (darrera_) {
        posa(*darrera_);
        buida();
    }
    ::close(fd_);
    acabat_ = true;
}

void escriptor_diari::posa(const entrada& e) {
    const int64_t ms = std::llround(double(e.ns - inici_ns_) / 1e6);
    if (ms - darrera_marca_ >= 1000) {
        linia(linies::marca, ms, {});
        darrera_marca_ = ms;
    }
    linia(e.tipus, ms, e.camps);
}

void escriptor_diari::buida() {
    while (auto e = cua_.treu()) posa(*e);
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
