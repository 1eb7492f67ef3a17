#pragma once
#include "programes.h"

#include <QProcess>

#include <map>
#include <memory>

namespace brisola {

class programes_qt : public programes {
public:
    ~programes_qt() override;
    bool ShellExecuteA(const QString& cami) override;
    uintptr_t finestra_mostrada() override;
    bool en_marxa() override;
    bool IsWindow(uintptr_t finestra) override;

private:
    struct llancat {
        std::unique_ptr<QProcess> proces;
        bool mostrada = false;
    };
    std::map<uintptr_t, llancat> llancats_; // by window number, from 1
    uintptr_t darrer_ = 0;
};

} // namespace brisola
