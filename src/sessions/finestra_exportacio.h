#pragma once
// "Desa la interpretació…": a session (the last one unless another is
// chosen), or a part of it by seconds, saved as MIDI, WAV or FLAC. The audio
// renders on a thread of its own, so play goes on, with a progress bar that
// can cancel it.
#include "sessions/exportacio.h"

#include <QDialog>

#include <atomic>
#include <thread>

class QComboBox;
class QProgressDialog;
class QSpinBox;
class QTimer;

namespace brisola {

class missatges;

class finestra_exportacio : public QDialog {
public:
    using demana_desti =
        std::function<QString(const QString& titol, const QString& proposat, const QString& filtres, QString& triat)>;
    finestra_exportacio(const QString& idioma, missatges& caixes, demana_desti desti);
    ~finestra_exportacio() override;

    // The sessions to choose from, oldest first: the last is chosen.
    void omple(const QStringList& sessions);
    // Asks where, then exports the chosen session's part there.
    void desa();
    // Exports to `desti` now (the window's own button asks where first).
    void exporta(const QString& desti);
    bool ocupada() const { return fil_.joinable(); }
    const resultat_exportacio& darrer() const { return resultat_; }

private:
    void mira();
    void acaba();

    QString idioma_;
    missatges& caixes_;
    demana_desti desti_;
    QStringList sessions_;
    QComboBox* sessio_ = nullptr;
    QSpinBox *des_de_ = nullptr, *fins_a_ = nullptr;
    QProgressDialog* progres_ = nullptr;
    QTimer* rellotge_ = nullptr;
    std::thread fil_;
    std::atomic<double> fet_{0};
    std::atomic<bool> cancel_{false}, acabat_{false};
    QString desti_actual_;
    resultat_exportacio resultat_;
};

} // namespace brisola
