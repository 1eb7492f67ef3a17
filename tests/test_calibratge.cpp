// The tracker's calibration window in each of the instrument's languages: the two
// ways to follow with keys of their own, a click on a flat patch refused with a
// word, and a click on the tip of a nose taken.
#include "fakes/cara.h"
#include "finestra_calibratge.h"

#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QtTest>

namespace {

QChar tecla(const QString& text) { return text.at(text.indexOf('&') + 1).toLower(); }

bool diu(const QWidget& w, const QString& text) {
    for (const QLabel* l : w.findChildren<QLabel*>())
        if (l->text() == text) return true;
    return false;
}

} // namespace

class test_calibratge : public QObject {
    Q_OBJECT

private slots:
    void a_helper_sets_a_point_up_in_each_language_data() {
        QTest::addColumn<QByteArray>("idioma");
        QTest::addColumn<QString>("color");
        QTest::addColumn<QString>("punt");
        QTest::newRow("catala") << QByteArray("catala") << "&Color" << "&Punt";
        QTest::newRow("español") << QByteArray("espa\xf1ol") << "&Color" << "&Punto"; // the settings are Windows-1252
        QTest::newRow("galego") << QByteArray("galego") << "&Cor" << "&Punto";
    }

    void a_helper_sets_a_point_up_in_each_language() {
        QFETCH(QByteArray, idioma);
        QFETCH(QString, color);
        QFETCH(QString, punt);
        QTemporaryDir dir;
        QFile ini(dir.filePath("brisola.ini"));
        QVERIFY(ini.open(QIODevice::WriteOnly));
        ini.write("[inici]\nidioma=" + idioma + "\n");
        ini.close();
        const tintseer::textos t = tintseer::textos::de_les_carpetes({dir.path()});
        cara::cas quiet = *cara::anomenat("quiet");
        quiet.fotogrames = 15;
        const std::string video = dir.filePath("cara.avi").toStdString();
        const cv::Point2d nas = *cara::grava(quiet, video).front().punt;
        tintseer::finestra_calibratge f({}, std::make_unique<cv::VideoCapture>(video), t);
        f.show();

        QList<QRadioButton*> maneres = f.findChildren<QRadioButton*>();
        QCOMPARE(maneres.size(), 2);
        QCOMPARE(maneres[0]->text(), color);
        QCOMPARE(maneres[1]->text(), punt);
        QSet<QChar> tecles; // each button its own key
        for (const QAbstractButton* b : f.findChildren<QAbstractButton*>()) tecles.insert(tecla(b->text()));
        QCOMPARE(tecles.size(), 4);

        maneres[1]->click();
        QVERIFY(diu(f, t.instruccio_punt));
        QPushButton* desa = nullptr;
        for (QPushButton* b : f.findChildren<QPushButton*>())
            if (b->text() == t.desa) desa = b;
        QVERIFY(desa && !desa->isEnabled());
        QLabel* imatge = f.findChildren<QLabel*>().first();
        QTRY_VERIFY(!imatge->pixmap().isNull()); // a picture came
        // The picture is a mirror: a point of the camera's picture at x shows at 639 - x.
        auto clica = [&](cv::Point2d p) {
            const QPoint al_mirall(639 - int(std::lround(p.x)), int(std::lround(p.y)));
            QTest::mouseClick(&f, Qt::LeftButton, {}, imatge->mapTo(&f, al_mirall));
        };
        clica({530, 80}); // the room's window pane: nothing to follow there
        QVERIFY(diu(f, t.sense_relleu));
        QVERIFY(!desa->isEnabled());
        clica(nas);
        QVERIFY(diu(f, t.instruccio_punt));
        QVERIFY(desa->isEnabled());
    }
};

QTEST_MAIN(test_calibratge)
#include "test_calibratge.moc"
