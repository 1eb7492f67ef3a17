// The "Gràfic" menu: background pictures stretched over the surface and kept,
// cursor pictures, and the cursor's size.
#include "fakes/banc.h"

#include <QImage>
#include <QtTest>

using namespace brisola;

namespace {

struct superficie : banc {
    std::unique_ptr<finestra_main> w = obre();
    superficie() { w->pantalla->setGeometry(0, 0, 400, 300); }

    // A picture twice as wide as high: red on the left, blue on the right (halves
    // wide enough for JPEG's colour blocks).
    QString dues_meitats(const QString& nom, const char* format) {
        QImage imatge(64, 32, QImage::Format_RGB32);
        imatge.fill(qRgb(255, 0, 0));
        for (int y = 0; y < 32; ++y)
            for (int x = 32; x < 64; ++x) imatge.setPixel(x, y, qRgb(0, 0, 255));
        imatge.save(cami(nom), format);
        return cami(nom);
    }
    QColor pixel(QWidget* control, int x, int y) { return control->grab().toImage().pixelColor(x, y); }
    QSize mida_cursor() const { return w->cursor_actiu->size(); }
};

const QColor vermell(255, 0, 0), blau(0, 0, 255), groc(255, 255, 0);

} // namespace

class test_grafic : public QObject {
    Q_OBJECT

private slots:
    void the_cursor_halves_to_even_and_doubles() {
        superficie s;
        s.w->mn_carat_Click(1);
        QCOMPARE(s.mida_cursor(), QSize(17, 17));
        QList<int> costats;
        for (int i = 0; i < 5; ++i) {
            s.w->mn_carat_Click(0);
            costats << s.mida_cursor().width();
        }
        QCOMPARE(costats, QList<int>({8, 4, 2, 1, 0})); // 8.5 gives 8 and 0.5 gives 0
        s.w->mn_carat_Click(1);
        s.w->mn_carat_Click(2);
        QCOMPARE(s.mida_cursor(), QSize(34, 34));
        s.w->cursor_actiu->resize(20000, 20000);
        s.w->mn_carat_Click(2); // past 16 bits: unchanged
        QCOMPARE(s.mida_cursor(), QSize(20000, 20000));
    }

    void a_background_of_any_shape_covers_the_surface_and_stays() {
        superficie s;
        s.dialeg.tria = s.dues_meitats("fons amb blancs.png", "PNG");
        s.w->mn_img[1]->trigger();
        QCOMPARE(s.dialeg.filtre, QStringList({"dibuixos (*.bmp;*.gif;*.jpg;*.wmf)", "*.bmp;*.gif;*.jpg;*.wmf",
                                               "Tots els fitxes (*.*)", "*.*"}));
        QCOMPARE(s.dialeg.flags, uint32_t(0x1804));
        QCOMPARE(s.w->estat.fons_fitxer, s.dialeg.tria);
        auto* p = s.w->pantalla;
        for (auto mida : {QSize(400, 300), QSize(150, 600)}) { // repainted stretched at every size
            p->resize(mida);
            int x = mida.width() - 3, y = mida.height() - 3;
            QCOMPARE(QList<QColor>({s.pixel(p, 2, 2), s.pixel(p, 2, y), s.pixel(p, x, 2), s.pixel(p, x, y)}),
                     QList<QColor>({vermell, vermell, blau, blau}));
        }
        QColor abans = p->BackColor();
        int16_t y = 100, x = 100;
        int32_t interval = 10;
        s.w->MUS(y, x, interval);
        QCOMPARE(p->BackColor(), abans); // a picture is up: the pointer leaves the colour alone
    }

    void a_file_that_is_no_picture_or_the_colour_item_clear_the_surface() {
        superficie s;
        s.w->fons_carrega(s.dues_meitats("fons.png", "PNG"));
        s.w->mn_img_Click(0); // the colour item drops the picture for good
        QVERIFY(s.w->estat.fons_fitxer.isEmpty());
        QVERIFY(s.w->pantalla->Picture().isNull());
        s.w->mn_acces_Click(3);
        QVERIFY(s.w->pantalla->Picture().isNull());
        QCOMPARE(s.pixel(s.w->pantalla, 200, 200), groc);
        s.w->fons_carrega(s.cami("fons.png"));
        s.escriu("dibuix.wmf", QByteArray(300, '\x01'));
        s.dialeg.tria = s.cami("dibuix.wmf");
        s.w->mn_img_Click(1);
        QCOMPARE(s.w->estat.fons_fitxer, s.cami("dibuix.wmf"));
        QCOMPARE(s.pixel(s.w->pantalla, 200, 150), groc);
        int16_t y = 100, x = 100;
        int32_t interval = 10;
        s.w->MUS(y, x, interval);
        QCOMPARE(s.w->pantalla->BackColor(), groc);
        s.dialeg.tria.clear(); // cancelled: nothing changes
        s.w->mn_img_Click(1);
        QCOMPARE(s.w->estat.fons_fitxer, s.cami("dibuix.wmf"));
    }

    void every_picture_format_loads() {
        superficie s;
        const QByteArray gif("GIF89a\x01\x00\x01\x00\x80\x00\x00\xff\x00\x00\x00\x00\x00,\x00\x00\x00\x00\x01\x00\x01\x00"
                             "\x00\x02\x02\x44\x01\x00;", 35);
        s.escriu("u.gif", gif);
        s.escriu("u.svg", "<svg xmlns='http://www.w3.org/2000/svg' width='4' height='4'><rect width='4' height='4' "
                          "fill='#ff0000'/></svg>");
        const QStringList fitxers = {s.dues_meitats("u.bmp", "BMP"), s.dues_meitats("u.jpg", "JPEG"),
                                     s.dues_meitats("u.png", "PNG"), s.cami("u.gif"), s.cami("u.svg")};
        for (const QString& f : fitxers) {
            s.w->fons_carrega(f);
            QVERIFY2(!s.w->pantalla->Picture().isNull(), qPrintable(f));
            QVERIFY2(s.pixel(s.w->pantalla, 2, 2).red() > 200, qPrintable(f));
        }
    }

    void a_cursor_picture_takes_the_markers_place_at_its_size() {
        superficie s;
        s.w->mn_acces_Click(0);
        QVERIFY(s.w->u_curs_shape->isVisible());
        QSize mida = s.w->u_curs_img->size();
        s.dialeg.tria = s.dues_meitats("cursor.png", "PNG");
        s.w->mn_img_Click(2);
        QVERIFY(!s.w->u_curs_shape->isVisible() && s.w->u_curs_img->isVisible());
        QCOMPARE(s.w->cursor_actiu, static_cast<control_mobil*>(s.w->u_curs_img));
        QCOMPARE(s.w->u_curs_img->size(), mida);
        QCOMPARE(s.pixel(s.w->u_curs_img, 1, 1), vermell);
        QCOMPARE(s.pixel(s.w->u_curs_img, mida.width() - 2, 1), blau);
        s.w->cursor_carrega(s.cami("absent.png")); // keeps its picture, stays the pointer
        QCOMPARE(s.pixel(s.w->u_curs_img, 1, 1), vermell);
    }
};

QTEST_MAIN(test_grafic)
#include "test_grafic.moc"
