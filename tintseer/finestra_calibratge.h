#pragma once
// The calibration window: the picture as in a mirror with the followed point
// and what is taken for the object's colour on it, a click that picks the
// object, "pick again", the tolerance, and "Desa".
#include "font.h"
#include "seguiment.h"

#include <opencv2/videoio.hpp>

#include <QWidget>

#include <memory>
#include <optional>

class QLabel;
class QPushButton;
class QSlider;

namespace tintseer {

// The window's texts in the instrument's language.
struct textos {
    QString titol, instruccio, tolerancia, desa, desat, no_desat, sense_camera, torna_a_triar, sense_color,
        massa_gran;
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
    static void mostra_el_color(cv::Mat& rgb, const cv::Mat& mascara);

    configuracio c_;
    std::unique_ptr<cv::VideoCapture> font_;
    textos t_;
    std::unique_ptr<seguiment> seg_;
    cv::Mat actual_; // the last picture, as the camera gives it
    cv::Mat triat_;  // the picture the object was picked on, and where
    std::optional<cv::Point> clic_;
    QLabel* imatge_;
    QLabel* estat_;
    QSlider* tolerancia_;
    QPushButton* desa_;
};

} // namespace tintseer
