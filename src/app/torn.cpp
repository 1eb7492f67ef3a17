#include "torn.h"

#include <algorithm>

namespace brisola {

void torn::executa(const void* clau, const std::function<void()>& handler) {
    if (ocupat_) {
        bool ja_espera = std::any_of(pendents_.begin(), pendents_.end(), [clau](auto& p) { return p.first == clau; });
        if (!ja_espera) pendents_.emplace_back(clau, handler);
        return;
    }
    ocupat_ = true;
    handler();
    while (!pendents_.empty()) {
        auto seguent = std::move(pendents_.front());
        pendents_.erase(pendents_.begin());
        seguent.second();
    }
    ocupat_ = false;
}

} // namespace brisola
