#pragma once
// Writes a session's journal on a thread of its own. The window thread hands
// it events through a bounded queue that never waits: when the queue is full
// an event is dropped, and when the disk is full the journal stops (told
// once) while play goes on. What was written stays readable: every line is
// whole, and lines reach the disk a tenth of a second after they are given.
#include "platform/cua_spsc.h"

#include <QString>

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <utility>
#include <vector>

namespace brisola {

class escriptor_diari {
public:
    using info = std::vector<std::pair<QString, QString>>;
    // A new file at `cami`, readable by its owner only; null when it cannot be made.
    // `inici_ns` is the session's time 0.
    static std::unique_ptr<escriptor_diari> obre(const QString& cami, int64_t inici_ns, const info& dades);
    // On an open descriptor, which it then owns.
    escriptor_diari(int fd, int64_t inici_ns, const info& dades);
    // Writes what is still queued and closes.
    ~escriptor_diari();
    escriptor_diari(const escriptor_diari&) = delete;
    escriptor_diari& operator=(const escriptor_diari&) = delete;

    // One thread only (the window's): an event of kind `tipus` at `ns` (the monotonic clock) with its fields.
    void escriu(char tipus, int64_t ns, std::string camps);
    // True once a write failed (a full disk): nothing more is written.
    bool fallat() const { return fallat_.load(); }
    uint64_t perduts() const { return perduts_.load(); }

private:
    struct entrada {
        int64_t ns = 0;
        char tipus = 0;
        std::string camps;
    };
    void treballa();
    void buida();
    void linia(char tipus, int64_t ms, const std::string& camps);

    int fd_;
    int64_t inici_ns_;
    cua_spsc<entrada, 8192> cua_;
    std::string bufer_;
    int64_t darrer_ms_ = 0, darrera_marca_ = 0;
    std::atomic<bool> fallat_{false};
    std::atomic<uint64_t> perduts_{0};
    std::mutex mutex_;
    std::condition_variable cv_;
    bool acaba_ = false;
    std::thread fil_;
};

} // namespace brisola
