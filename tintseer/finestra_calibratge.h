#pragma once
// The calibration window: the picture as in a mirror with the followed point on
// it, and what is taken for the object's colour or the corners that carry the
// point; the way to follow (a colour, or a point of the body), a click that picks
// the object or the point, "pick again", the colour's tolerance, and "Desa".
#include "font.h"
#include "seguiment.h"
#include "seguiment_punt.h"

#include <opencv2/videoio.hpp>

#include <QWidget>

#include <memory>
#include <optional>

class QLabel;
class QPainter;
class QPushButton;
class QRadioButton;
class QSlider;

namespace tintseer {

// The window's texts in the instrument's language.
struct textos {
    QString titol, instruccio, tolerancia, desa, desat, no_desat, sense_camera, torna_a_triar, sense_color,
        massa_gran, color, punt, instruccio_punt, sense_relleu;
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
    std::optional<cv::Point2f> segueix();
    void recalibra();
    void tria_manera(configuracio::manera m);
    void tria_punt(cv::Point punt);
    const QString& instruccio() const;
    static void mostra_el_color(cv::Mat& rgb, const cv::Mat& mascara);
    static void mostra_les_cantonades(QPainter& p, const std::vector<cv::Point2f>& cantonades);

    configuracio c_;
    std::unique_ptr<cv::VideoCapture> font_;
    textos t_;
    std::unique_ptr<seguiment> seg_;
    std::unique_ptr<seguiment_punt> punt_;
    cv::Mat actual_; // the last picture, as the camera gives it
    cv::Mat triat_;  // the picture the object was picked on, and where
    std::optional<cv::Point> clic_;
    QLabel* imatge_;
    QLabel* estat_;
    QSlider* tolerancia_;
    QRadioButton* per_color_;
    QRadioButton* per_punt_;
    QPushButton* desa_;
};

} // namespace tintseer
