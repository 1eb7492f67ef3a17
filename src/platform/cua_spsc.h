#pragma once
// A single-producer, single-consumer queue of fixed capacity: one thread
// pushes, another pops, neither waits. The slots are made once; an element
// that owns memory (the journal's text) still allocates as it is copied in.
#include <array>
#include <atomic>
#include <cstddef>
#include <optional>

namespace brisola {

template <class T, size_t N>
class cua_spsc {
    static_assert((N & (N - 1)) == 0, "a power of two");

public:
    // False when full: the element is dropped.
    bool empeny(const T& v) {
        size_t e = escrit_.load(std::memory_order_relaxed);
        if (e - llegit_.load(std::memory_order_acquire) == N) return false;
        elements_[e % N] = v;
        escrit_.store(e + 1, std::memory_order_release);
        return true;
    }
    // Consumer side: nothing waits.
    bool buida() const { return llegit_.load(std::memory_order_relaxed) == escrit_.load(std::memory_order_acquire); }
    std::optional<T> treu() {
        size_t l = llegit_.load(std::memory_order_relaxed);
        if (l == escrit_.load(std::memory_order_acquire)) return std::nullopt;
        T v = elements_[l % N];
        llegit_.store(l + 1, std::memory_order_release);
        return v;
    }

private:
    std::array<T, N> elements_{};
    std::atomic<size_t> escrit_{0}, llegit_{0};
};

} // namespace brisola
