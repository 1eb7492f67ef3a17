#pragma once
// The calibration window: the picture as in a mirror with the followed point
// on it, a click that picks the object's colour, the tolerance, and "Desa".
#include "font.h"
#include "seguiment.h"

#include <opencv2/videoio.hpp>

#include <QWidget>

#include <memory>

class QLabel;
class QSlider;

namespace tintseer {

// The window's texts in the instrument's language.
struct textos {
    QString titol, instruccio, tolerancia, desa, desat, no_desat, sense_camera;
    // The language of the first brisola.ini found in these folders ("[inici]", "idioma"), Catalan otherwise.
    static textos de_les_carpetes(const QStringList& carpetes);
};

class finestra_calibratge : public QWidget {
public:
    // With no `font`, the window only says that no camera was found.
    finestra_calibratge(const configuracio& c, std::unique_ptr<cv::VideoCapture> font, const textos& t);

protected:
    // The instrument waits for this line to know the window is there.
    void showEvent(QShowEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;

private:
    void fotograma();
    void recalibra();

    configuracio c_;
    std::unique_ptr<cv::VideoCapture> font_;
    textos t_;
    std::unique_ptr<seguiment> seg_;
    cv::Mat actual_; // the last picture, as the camera gives it
    QLabel* imatge_;
    QLabel* estat_;
    QSlider* tolerancia_;
};

} // namespace tintseer
