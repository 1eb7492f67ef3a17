#pragma once
// `brisola --export SESSION_FILE OUT.mid|OUT.wav|OUT.flac`: the export with
// no window, for scripts. Exit status 0 when written, 1 when not, 2 when the
// arguments are not these. Its messages are in the interface's language.
#include <QStringList>

#include <functional>

namespace brisola {

int exporta_per_linia(const QStringList& arguments, const QString& idioma,
                      const std::function<void(const QString&)>& diu);

} // namespace brisola
