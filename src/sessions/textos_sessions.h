#pragma once
// The sessions' captions and messages, in the interface's languages.
#include <QString>
#include <QStringList>

namespace brisola {

enum : int {
    t_no_es_pot_escriure, t_disc_ple, t_desa_interpretacio, t_sessions, t_cap_sessio, t_sense_persona,
    t_canco_absent, t_no_exportat, t_exportant, t_exportat, t_malmesa, t_informe, t_data, t_durada, t_modalitats,
    t_notes_minut, t_temps_modalitat, t_premses, t_premuda, t_abast, t_exporta, t_esborra, t_esborra_totes,
    t_confirma_esborra, t_confirma_totes, t_tanca, t_tria_sessio, t_des_de, t_fins_a, t_format, t_desa,
    t_exportat_informe, t_cancella, t_us_exportacio, t_no_llegit, t_no_es_diari, t_no_esborrat, t_en_curs, t_acces, t_instrument,
    t_periode, t_mapa_de, t_tendencies, t_premuda_mitjana, t_soundfont_substitut, t_llacunes
};

// Text `t` in `idioma` (Catalan unless Spanish or Galician), its %1… filled with `dades`.
QString text_sessions(const QString& idioma, int t, const QStringList& dades = {});

} // namespace brisola
