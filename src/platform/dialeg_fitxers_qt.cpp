#include "dialeg_fitxers_qt.h"

#include <QFileDialog>
#include <QFileSystemModel>
#include <QHash>

namespace brisola {

namespace {

QStringList patrons_de(const QString& text) {
    QStringList patrons = text.split(';', Qt::SkipEmptyParts);
    for (QString& patro : patrons)
        if (patro == "*.*") patro = "*";
    return patrons;
}

} // namespace

// Qt reads the patterns of a filter from its caption, split by blanks only;
// ours are split by ";" (and "*.*" means every file), so the dialog's file
// list gets the patterns of the chosen caption itself. Its own dialog, not
// the desktop's, so that this holds everywhere.
QString dialeg_fitxers_qt::GetOpenFileNameA(QWidget* propietari, const QString& carpeta, const QStringList& filtre,
                                            uint32_t flags) {
    QFileDialog dialeg(propietari, QString(), carpeta);
    dialeg.setOption(QFileDialog::DontUseNativeDialog);
    dialeg.setFileMode(flags & OFN_FILEMUSTEXIST ? QFileDialog::ExistingFile : QFileDialog::AnyFile);
    QStringList captions;
    QHash<QString, QStringList> patrons;
    for (qsizetype i = 0; i + 1 < filtre.size(); i += 2) {
        captions << filtre[i];
        patrons[filtre[i]] = patrons_de(filtre[i + 1]);
    }
    dialeg.setNameFilters(captions);
    auto* fitxers = dialeg.findChild<QFileSystemModel*>();
    auto aplica = [&](const QString& caption) {
        if (fitxers && patrons.contains(caption)) fitxers->setNameFilters(patrons[caption]);
    };
    QObject::connect(&dialeg, &QFileDialog::filterSelected, aplica);
    aplica(dialeg.selectedNameFilter());
    if (dialeg.exec() != QDialog::Accepted || dialeg.selectedFiles().isEmpty()) return {};
    return dialeg.selectedFiles().first();
}

} // namespace brisola
