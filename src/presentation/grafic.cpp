// The "Gràfic" menu: background and cursor pictures, and the cursor's size.
#include "app/finestra_main.h"
#include "platform/caixa_imatge.h"
#include "platform/control_mobil.h"
#include "platform/numeros.h"
#include "presentation/imatges.h"

namespace brisola {

namespace {

const QStringList filtre_dibuixos = {"dibuixos (*.bmp;*.gif;*.jpg;*.wmf)", "*.bmp;*.gif;*.jpg;*.wmf",
                                     "Tots els fitxes (*.*)", "*.*"};

// Drawings are rendered generously: the cursor may be doubled many times over.
constexpr int mida_minima_cursor = 256;

} // namespace

void finestra_main::fons_carrega(const QString& t) {
    estat.fons_fitxer = t;
    pantalla->set_Picture(QPixmap());
    imatge_dibuixa(estat.fons_fitxer, *pantalla);
}

void finestra_main::cursor_carrega(const QString& t) {
    QPixmap picture = carrega_imatge(t, u_curs_img->size().expandedTo({mida_minima_cursor, mida_minima_cursor}));
    if (!picture.isNull()) u_curs_img->set_Picture(picture);
    estat.cursor_fitxer = t;
    cursor_actiu->hide();
    cursor_actiu = u_curs_img;
    cursor_actiu->show();
}

void finestra_main::mn_img_Click(int16_t Index) {
    if (Index == 0) {
        estat.fons_fitxer.clear();
        pantalla->set_Picture(QPixmap());
        return;
    }
    if (Index != 1 && Index != 2) return;
    QString f = tria_fitxer(serveis_.dialeg, this, QString(), filtre_dibuixos);
    if (f.isEmpty()) return;
    if (Index == 1) fons_carrega(f);
    else cursor_carrega(f);
}

void finestra_main::mn_carat_Click(int16_t Index) {
    continua_si_falla([&] {
        int16_t w = nearest(cursor_actiu->width()), h = nearest(cursor_actiu->height());
        if (Index == 0) {
            w = nearest(w / 2.0);
            h = nearest(h / 2.0);
        } else if (Index == 1) {
            w = h = 17;
        } else if (Index == 2) {
            // Past 16 bits the size stays as it is.
            w = c16(w * 2);
            h = c16(h * 2);
        }
        cursor_actiu->resize(w, h);
    });
}

} // namespace brisola
