#pragma once
// One handler at a time: a handler that comes due while another runs (a timer
// tick inside a message box's event loop, say) runs once, right after it.
#include <functional>
#include <utility>
#include <vector>

namespace brisola {

class torn {
public:
    // `clau` identifies the source, so one source waits at most once.
    void executa(const void* clau, const std::function<void()>& handler);
    bool ocupat() const { return ocupat_; }

private:
    bool ocupat_ = false;
    std::vector<std::pair<const void*, std::function<void()>>> pendents_;
};

} // namespace brisola
