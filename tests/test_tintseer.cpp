// The colour tracker on a video of our own: a green disc going round, then out of sight.
#include "platform/tintseer_dinamic.h"
#include "seguiment.h"

#include <opencv2/imgproc.hpp>
#include <opencv2/videoio.hpp>

#include <QTemporaryDir>
#include <QtTest>

#include <cmath>

using namespace brisola;

namespace {

constexpr int fotogrames = 60, fora_de_vista = 12; // the disc leaves for the last 12
constexpr double fps = 30;

// Where the disc stands in frame i: round a circle, 2 s a turn.
cv::Point2d centre(int i) {
    double angle = 2 * M_PI * i / (2 * fps);
    return {320 + 150 * std::cos(angle), 240 + 120 * std::sin(angle)};
}

cv::Mat fotograma(int i) {
    cv::Mat f(480, 640, CV_8UC3, cv::Scalar(60, 50, 45));
    cv::rectangle(f, cv::Rect(0, 400, 640, 80), cv::Scalar(30, 60, 150), cv::FILLED); // a brownish table
    if (i < fotogrames - fora_de_vista) cv::circle(f, centre(i), 30, cv::Scalar(40, 200, 40), cv::FILLED);
    return f;
}

struct video {
    QTemporaryDir dir;
    QString cami = dir.path() + "/disc.avi";
    video() {
        cv::VideoWriter w(cami.toStdString(), cv::VideoWriter::fourcc('M', 'J', 'P', 'G'), fps, {640, 480});
        for (int i = 0; i < fotogrames; ++i) w.write(fotograma(i));
    }
    // The tracker's settings, calibrated on the disc's colour and reading this video.
    tintseer::configuracio calibra() {
        qputenv("TINTSEER_CONFIG", QFile::encodeName(dir.path() + "/tintseer.conf"));
        tintseer::configuracio c;
        cv::Vec3b hsv = tintseer::seguiment::color_a(fotograma(0), centre(0));
        c.to = hsv[0];
        c.saturacio = hsv[1];
        c.valor = hsv[2];
        c.font = cami.toStdString();
        return c;
    }
};

} // namespace

class test_tintseer : public QObject {
    Q_OBJECT

private slots:
    void the_disc_is_followed_as_in_a_mirror() {
        video v;
        tintseer::seguiment seg(v.calibra());
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
            cv::Point2d esperat(640 - centre(i).x, centre(i).y);
            if (std::hypot(p->x - esperat.x, p->y - esperat.y) <= 8) ++encerts;
        }
        QVERIFY2(encerts >= 0.95 * (fotogrames - fora_de_vista), qPrintable(QString::number(encerts)));
    }

    void the_library_starts_follows_keeps_and_stops() {
        video v;
        auto c = v.calibra();
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
        cv::Point2d darrer = centre(fotogrames - fora_de_vista - 1);
        QVERIFY(std::hypot(horitzontal - (640 - darrer.x), vertical - darrer.y) <= 8);
        lib.TintseerFinalitza();
        lib.TintseerFinalitza();
        QCOMPARE(lib.TintseerInicialitza(0), 1);
        lib.TintseerFinalitza();
        c.font = "/no/such/video.avi";
        QVERIFY(c.desa());
        QCOMPARE(lib.TintseerInicialitza(0), 0);
        lib.TintseerFinalitza();
    }
};

QTEST_GUILESS_MAIN(test_tintseer)
#include "test_tintseer.moc"
