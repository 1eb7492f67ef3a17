// The colour tracker on a video of our own: a green disc going round, then out of sight.
#include "platform/tintseer_dinamic.h"
#include "fakes/video_disc.h"
#include "seguiment.h"

#include <QTemporaryDir>
#include <QtTest>

#include <cmath>

using namespace brisola;

namespace {

constexpr int fotogrames = 60, fora_de_vista = 12; // the disc leaves for the last 12
constexpr double fps = video_disc::fps;

// Where the disc stands in frame i: round a circle, 2 s a turn; out of sight at the end.
std::optional<cv::Point2d> centre(int i) {
    if (i >= fotogrames - fora_de_vista) return std::nullopt;
    double angle = 2 * M_PI * i / (2 * fps);
    return cv::Point2d(320 + 150 * std::cos(angle), 240 + 120 * std::sin(angle));
}

struct video {
    QTemporaryDir dir;
    QString cami = dir.path() + "/disc.avi";
    video() { video_disc::escriu(cami.toStdString(), fotogrames, centre); }
    // The tracker's settings, calibrated on the disc's colour and reading `font`.
    tintseer::configuracio calibra(const QString& font) {
        qputenv("TINTSEER_CONFIG", QFile::encodeName(dir.path() + "/tintseer.conf"));
        tintseer::configuracio c;
        cv::Vec3b hsv = tintseer::seguiment::color_a(video_disc::fotograma(centre(0)), cv::Point(*centre(0)));
        c.to = hsv[0];
        c.saturacio = hsv[1];
        c.valor = hsv[2];
        c.font = font.toStdString();
        return c;
    }
};

} // namespace

class test_tintseer : public QObject {
    Q_OBJECT

private slots:
    void the_disc_is_followed_where_the_camera_sees_it() {
        video v;
        tintseer::seguiment seg(v.calibra(v.cami));
        cv::VideoCapture lector(v.cami.toStdString());
        cv::Mat f;
        int encerts = 0;
        for (int i = 0; lector.read(f); ++i) {
            auto p = seg.processa(f, 1 / fps);
            if (i >= fotogrames - fora_de_vista) {
                QVERIFY(!p); // out of sight: nothing found
                continue;
            }
            QVERIFY(p);
            if (std::hypot(p->x - centre(i)->x, p->y - centre(i)->y) <= 8) ++encerts;
            QVERIFY(!seg.processa(cv::Mat(8, 8, CV_8UC1), 1 / fps)); // an odd picture is skipped, not thrown
        }
        QVERIFY2(encerts >= 0.95 * (fotogrames - fora_de_vista), qPrintable(QString::number(encerts)));
    }

    void the_library_starts_follows_keeps_and_stops() {
        video v;
        auto c = v.calibra(v.cami);
        QVERIFY(c.desa());
        tintseer_dinamic lib(BRISOLA_BIN_DIR);
        int16_t vertical = 0, horitzontal = 0;
        lib.TintseerObtenirPosicio(vertical, horitzontal);
        QCOMPARE(std::make_pair(vertical, horitzontal), std::make_pair(int16_t(0), int16_t(0))); // nothing seen yet
        QCOMPARE(lib.TintseerInicialitza(0), 1);
        auto llegeix = [&] {
            lib.TintseerObtenirPosicio(vertical, horitzontal);
            return vertical != 0;
        };
        QTRY_VERIFY(llegeix());
        // The video runs out with the disc out of sight: the last place it was seen stands.
        QTest::qWait(int(1000 * fotogrames / fps) + 300);
        lib.TintseerObtenirPosicio(vertical, horitzontal);
        cv::Point2d darrer = *centre(fotogrames - fora_de_vista - 1);
        QVERIFY(std::hypot(horitzontal - darrer.x, vertical - darrer.y) <= 8);
        lib.TintseerFinalitza();
        lib.TintseerFinalitza();
        // Started again on a room with no disc: nothing is known, not the last run's place.
        QString buida = v.dir.path() + "/buida.avi";
        video_disc::escriu(buida.toStdString(), 30, [](int) { return std::nullopt; });
        QVERIFY(v.calibra(buida).desa());
        QCOMPARE(lib.TintseerInicialitza(0), 1);
        QTest::qWait(300);
        vertical = horitzontal = 0;
        lib.TintseerObtenirPosicio(vertical, horitzontal);
        QCOMPARE(std::make_pair(vertical, horitzontal), std::make_pair(int16_t(0), int16_t(0)));
        lib.TintseerFinalitza();
        c.font = "/no/such/video.avi";
        QVERIFY(c.desa());
        QCOMPARE(lib.TintseerInicialitza(0), 0);
        lib.TintseerFinalitza();
    }
};

QTEST_GUILESS_MAIN(test_tintseer)
#include "test_tintseer.moc"
