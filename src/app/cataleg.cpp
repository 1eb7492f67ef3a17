// The catalogue: songs, rhythms and instruments from brisola.ini, into the
// three tables and the menus and list that offer them.
#include "app/finestra_main.h"
#include "platform/fitxer_ini.h"
#include "platform/llista.h"
#include "platform/numeros.h"

#include <QMenu>

#include <optional>

namespace brisola {

namespace {

// One value, read afresh from the file; absent when missing or empty.
std::optional<QString> valor(const QString& fitxer, const QString& seccio, const QString& clau) {
    QString bufer;
    int n = GetPrivateProfileStringA(seccio, clau, "", bufer, 256, fitxer);
    if (n > 0) return bufer.left(n);
    return std::nullopt;
}

// A section's count. A negative count or one beyond 16 bits cannot name rows:
// the section is then ignored, as a missing count is.
std::optional<int> compte(const QString& fitxer, const QString& seccio) {
    auto text = valor(fitxer, seccio, "num");
    if (!text) return std::nullopt;
    try {
        int16_t n = nearest(leading_number(text->toStdString()));
        if (n >= 0) return n;
    } catch (const error_execucio&) {
    }
    return std::nullopt;
}

taula_cataleg taula_de(int files, int columnes) {
    taula_cataleg taula(size_t(files) + 1, QStringList(columnes + 1));
    taula[0][0] = QString::number(files);
    return taula;
}

// More rows than anyone can choose from a menu only make start-up crawl.
constexpr int maxim_de_files = 1000;

} // namespace

std::optional<int> finestra_main::files_de(const QString& seccio) {
    auto n = compte(fitxer_ini(), seccio);
    if (n && *n > maxim_de_files) {
        avisa(avis::massa_files, {seccio, QString::number(*n), QString::number(maxim_de_files)});
        n = maxim_de_files;
    }
    return n;
}

void finestra_main::carrega_seccio(const QString& seccio_compte, const QString& seccio, const QStringList& camps,
                                   taula_cataleg& taula, menu_array& items, QMenu* submenu) {
    auto n = files_de(seccio_compte);
    if (n) {
        taula = taula_de(*n, int(camps.size()));
        for (int i = 1; i <= *n; ++i) {
            for (int columna = 1; columna <= camps.size(); ++columna)
                if (auto v = valor(fitxer_ini(), seccio, QString::number(i) + camps[columna - 1]))
                    taula[size_t(i)][columna] = *v;
            items.afegeix(submenu, taula[size_t(i)][1])->setVisible(true);
        }
    }
    items[0]->setVisible(false);
}

void finestra_main::cancons_carrega() {
    carrega_seccio("canciones", "canciones", {"nombre", "midi", "fondo", "cursor"}, estat.cancons, CMUS,
                   fmus[4]->menu());
}

void finestra_main::ritmes_carrega() {
    carrega_seccio("RITMos", "ritmos", {"nombre", "acordes", "bateria", "compas", "tiempos"}, estat.ritmes, rmus,
                   fmus[3]->menu());
}

void finestra_main::instruments_carrega() {
    auto n = files_de("instrumentos");
    if (!n) return;
    estat.instruments = taula_de(*n, 2);
    for (int i = 1; i <= *n; ++i) {
        auto& fila = estat.instruments[size_t(i)];
        auto nom = valor(fitxer_ini(), "instrumentos", QString::number(i) + "nom");
        auto codi = valor(fitxer_ini(), "instrumentos", QString::number(i) + "codi");
        if (nom) fila[1] = *nom;
        if (codi) fila[2] = codi->trimmed();
        if (!nom || !codi) continue;
        lst_sound_list->AddItem(fila[1]);
        mn_instrument.afegeix(mn_inst[1]->menu(), fila[1]);
        files_instrument.push_back(int16_t(i));
    }
}

void finestra_main::avisa_si_illegible() {
    if (examina_fitxer(fitxer_ini()) != estat_fitxer::illegible) return;
    avisa(avis::ini_illegible, {fitxer_ini()});
}

} // namespace brisola
