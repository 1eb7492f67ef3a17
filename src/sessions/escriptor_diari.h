#pragma once
// Writes a session's journal on a thread of its own, which also makes the
// file and closes it. The window thread hands it events through a bounded
// queue that never waits: when the queue is full
// an event is dropped, and when the disk is full the journal stops (told
// once) while play goes on. Events dropped leave a gap line: how many, from
// when to when. What was written stays readable: every line is whole, and
// lines reach the disk a tenth of a second after they are given.
#include "platform/cua_spsc.h"

#include <QString>

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <utility>
#include <vector>

namespace brisola {

class escriptor_diari {
public:
    using info = std::vector<std::pair<QString, QString>>;
    // Makes the session's file, on the writer's side: its descriptor and path, or -1.
    using obridor = std::function<int(QString& cami)>;
    // A new file at `cami`, readable by its owner only; null when it cannot be made.
    // `inici_ns` is the session's time 0.
    static std::unique_ptr<escriptor_diari> obre(const QString& cami, int64_t inici_ns, const info& dades);
    // On an open descriptor, which it then owns.
    escriptor_diari(int fd, int64_t inici_ns, const info& dades);
    // On the file `o` makes: a slow or hung disk never holds the window.
    escriptor_diari(obridor o, int64_t inici_ns, const info& dades);
    // Waits for the writer to write what is still queued and close.
    ~escriptor_diari();
    escriptor_diari(const escriptor_diari&) = delete;
    escriptor_diari& operator=(const escriptor_diari&) = delete;

    // One thread only (the window's): an event of kind `tipus` at `ns` (the monotonic clock) with its fields.
    void escriu(char tipus, int64_t ns, std::string camps);
    // The session ends: the writer writes what is queued and closes, without being waited for.
    void acaba();
    // The writer has closed the file (or never made it).
    bool acabat() const { return acabat_.load(); }
    // True once a write failed (a full disk): nothing more is written.
    bool fallat() const { return fallat_.load(); }
    // True when the file could not be made.
    bool no_obert() const { return no_obert_.load(); }
    uint64_t perduts() const { return perduts_.load(); }
    // The file, once made.
    QString cami() const;

private:
    struct entrada {
        int64_t ns = 0;
        char tipus = 0;
        std::string camps;
    };
    void treballa(const obridor& o);
    void buida();
    void posa(const entrada& e);
    // The gap open so far, queued ahead of what comes next when there is room.
    bool tanca_llacuna();
    void linia(char tipus, int64_t ms, const std::string& camps);

    int fd_ = -1;
    int64_t inici_ns_;
    cua_spsc<entrada, 8192> cua_;
    std::string bufer_;
    int64_t darrer_ms_ = 0, darrera_marca_ = 0;
    std::atomic<bool> fallat_{false}, no_obert_{false}, acabat_{false};
    std::atomic<uint64_t> perduts_{0};
    // Window thread: the events dropped since the last one queued, and their times.
    uint64_t llacuna_ = 0;
    int64_t llacuna_des_de_ = 0, llacuna_fins_a_ = 0;
    mutable std::mutex mutex_;
    std::condition_variable cv_;
    bool acaba_ = false;
    std::optional<entrada> darrera_; // a gap the full queue had no room for at the end
    QString cami_;
    std::thread fil_;
};

} // namespace brisola
