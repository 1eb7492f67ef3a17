#include "programes_qt.h"

#include <QFileInfo>

namespace brisola {

// Programs still running when the instrument ends are left to run on their own.
programes_qt::~programes_qt() {
    for (auto& [numero, l] : llancats_)
        if (l.proces->state() != QProcess::NotRunning) l.proces.release()->setParent(nullptr);
}

// Returns at once: a program that fails to start after this shows as not running.
bool programes_qt::ShellExecuteA(const QString& cami) {
    QFileInfo fitxer(cami);
    if (!fitxer.isFile() || !fitxer.isExecutable()) return false;
    auto proces = std::make_unique<QProcess>();
    proces->setProgram(cami);
    proces->setProcessChannelMode(QProcess::ForwardedErrorChannel);
    proces->start();
    darrer_ = llancats_.empty() ? 1 : llancats_.rbegin()->first + 1;
    QProcess* p = proces.get();
    uintptr_t numero = darrer_;
    QObject::connect(p, &QProcess::readyReadStandardOutput, p, [this, p, numero] {
        while (p->canReadLine())
            if (p->readLine().trimmed() == "finestra") llancats_[numero].mostrada = true;
    });
    llancats_[numero] = {std::move(proces), false};
    return true;
}

uintptr_t programes_qt::finestra_mostrada() {
    auto it = llancats_.find(darrer_);
    return it != llancats_.end() && it->second.mostrada ? darrer_ : 0;
}

bool programes_qt::en_marxa() {
    auto it = llancats_.find(darrer_);
    return it != llancats_.end() && it->second.proces->state() != QProcess::NotRunning;
}

bool programes_qt::IsWindow(uintptr_t finestra) {
    auto it = llancats_.find(finestra);
    return it != llancats_.end() && it->second.mostrada && it->second.proces->state() != QProcess::NotRunning;
}

} // namespace brisola
