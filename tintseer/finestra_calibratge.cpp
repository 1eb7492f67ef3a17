#include "finestra_calibratge.h"

#include <opencv2/imgproc.hpp>

#include <QFile>
#include <QHBoxLayout>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <QTimer>
#include <QVBoxLayout>

#include <iostream>
#include <optional>

namespace tintseer {

namespace {

const QSize mida(640, 480);

QString idioma_de(const QStringList& carpetes) {
    QFile f;
    for (const QString& carpeta : carpetes) {
        f.setFileName(carpeta + "/brisola.ini");
        if (f.open(QIODevice::ReadOnly)) break;
    }
    if (!f.isOpen()) return {};
    bool inici = false;
    for (const QByteArray& linia : f.readAll().split('\n')) {
        QString l = QString::fromLatin1(linia).trimmed(); // the settings file is Windows-1252
        if (l.startsWith('[')) inici = l.compare("[inici]", Qt::CaseInsensitive) == 0;
        else if (inici && l.section('=', 0, 0).trimmed().compare("idioma", Qt::CaseInsensitive) == 0)
            return l.section('=', 1).trimmed();
    }
    return {};
}

} // namespace

textos textos::de_les_carpetes(const QStringList& carpetes) {
    QString idioma = idioma_de(carpetes);
    if (idioma == QString::fromUtf8("español"))
        return {"Tintseer: calibración", "Haced clic sobre el objeto de color que seguirá la cámara.", "Tolerancia",
                "&Guardar", "Calibración guardada.", "No se ha podido guardar la calibración.",
                "No se ha encontrado ninguna cámara.", "&Volver a elegir",
                "Aquí no se ve ningún color: haced clic sobre un objeto de color vivo.",
                "Este color llena casi toda la imagen: haced clic sobre un objeto más pequeño.", "&Color", "&Punto",
                "Haced clic sobre el punto del cuerpo que seguirá la cámara: la punta de la nariz, la barbilla.",
                "Aquí no hay nada que seguir: haced clic sobre un punto con relieve, como la punta de la nariz."};
    if (idioma == "galego")
        return {"Tintseer: calibración", "Facede clic sobre o obxecto de cor que seguirá a cámara.", "Tolerancia",
                "&Gardar", "Calibración gardada.", "Non se puido gardar a calibración.",
                "Non se atopou ningunha cámara.", "&Escoller de novo",
                "Aquí non se ve ningunha cor: facede clic sobre un obxecto de cor viva.",
                "Esta cor enche case toda a imaxe: facede clic sobre un obxecto máis pequeno.", "&Cor", "&Punto",
                "Facede clic sobre o punto do corpo que seguirá a cámara: a punta do nariz, o queixo.",
                "Aquí non hai nada que seguir: facede clic sobre un punto con relevo, como a punta do nariz."};
    return {"Tintseer: calibratge", "Feu clic sobre l'objecte de color que seguirà la càmera.", "Tolerància", "&Desa",
            "Calibratge desat.", "No s'ha pogut desar el calibratge.", "No s'ha trobat cap càmera.",
            "&Torna a triar", "Aquí no s'hi veu cap color: feu clic sobre un objecte de color viu.",
            "Aquest color omple gairebé tota la imatge: feu clic sobre un objecte més petit.", "&Color", "&Punt",
            "Feu clic sobre el punt del cos que seguirà la càmera: la punta del nas, la barbeta.",
            "Aquí no hi ha res a seguir: feu clic sobre un punt amb relleu, com la punta del nas."};
}

finestra_calibratge::finestra_calibratge(const configuracio& c, std::unique_ptr<cv::VideoCapture> font,
                                         const textos& t)
    : c_(c), font_(std::move(font)), t_(t) {
    setWindowTitle(t_.titol);
    imatge_ = new QLabel(this);
    imatge_->setFixedSize(mida);
    estat_ = new QLabel(instruccio(), this);
    tolerancia_ = new QSlider(Qt::Horizontal, this);
    tolerancia_->setRange(2, 40);
    tolerancia_->setValue(c_.tolerancia);
    desa_ = new QPushButton(t_.desa, this);
    auto* torna = new QPushButton(t_.torna_a_triar, this);
    per_color_ = new QRadioButton(t_.color, this);
    per_punt_ = new QRadioButton(t_.punt, this);
    (c_.segueix == configuracio::manera::punt ? per_punt_ : per_color_)->setChecked(true);
    tolerancia_->setEnabled(c_.segueix == configuracio::manera::color);
    auto* fila = new QHBoxLayout;
    fila->addWidget(per_color_);
    fila->addWidget(per_punt_);
    fila->addWidget(new QLabel(t_.tolerancia, this));
    fila->addWidget(tolerancia_, 1);
    fila->addWidget(torna);
    fila->addWidget(desa_);
    auto* columna = new QVBoxLayout(this);
    columna->setContentsMargins(8, 8, 8, 8); // the picture's place in the window stays the same on every style
    columna->addWidget(imatge_);
    columna->addWidget(estat_);
    columna->addLayout(fila);
    connect(tolerancia_, &QSlider::valueChanged, this, [this](int v) {
        c_.tolerancia = v;
        if (clic_) c_ = calibra(triat_, *clic_, c_).c; // the same click, with the new tolerance
        if (seg_) recalibra();
    });
    connect(per_color_, &QRadioButton::toggled, this, [this](bool triat) {
        tria_manera(triat ? configuracio::manera::color : configuracio::manera::punt);
    });
    // Whatever was picked is let go: nothing is shown, nor can be saved, until the next click.
    connect(torna, &QPushButton::clicked, this, [this] {
        clic_.reset();
        seg_.reset();
        punt_.reset();
        desa_->setEnabled(false);
        estat_->setText(instruccio());
    });
    connect(desa_, &QPushButton::clicked, this, [this] { estat_->setText(c_.desa() ? t_.desat : t_.no_desat); });
    recalibra();
    if (!font_) {
        imatge_->setAlignment(Qt::AlignCenter);
        imatge_->setText(t_.sense_camera);
        estat_->clear();
        desa_->setEnabled(false);
        torna->setEnabled(false);
        per_color_->setEnabled(false);
        per_punt_->setEnabled(false);
        return;
    }
    auto* rellotge = new QTimer(this);
    connect(rellotge, &QTimer::timeout, this, [this] { fotograma(); });
    rellotge->start(33);
}

void finestra_calibratge::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    std::cout << "finestra" << std::endl;
}

const QString& finestra_calibratge::instruccio() const {
    return c_.segueix == configuracio::manera::punt ? t_.instruccio_punt : t_.instruccio;
}

void finestra_calibratge::recalibra() {
    seg_.reset();
    punt_.reset();
    if (c_.segueix == configuracio::manera::punt) punt_ = std::make_unique<seguiment_punt>(c_);
    else seg_ = std::make_unique<seguiment>(c_);
}

// The other way: its own pick is needed before anything is shown or saved.
void finestra_calibratge::tria_manera(configuracio::manera m) {
    if (m == c_.segueix) return;
    c_.segueix = m;
    clic_.reset();
    tolerancia_->setEnabled(m == configuracio::manera::color);
    seg_.reset();
    punt_.reset();
    desa_->setEnabled(false);
    estat_->setText(instruccio());
}

std::optional<cv::Point2f> finestra_calibratge::segueix() {
    if (punt_) return punt_->processa(actual_, 0.033);
    return seg_ ? seg_->processa(actual_, 0.033) : std::nullopt;
}

void finestra_calibratge::fotograma() {
    if (!font_->read(actual_) || actual_.empty()) {
        font_->set(cv::CAP_PROP_POS_FRAMES, 0); // a video in place of the camera plays round
        return;
    }
    std::optional<cv::Point2f> punt = segueix();
    cv::Mat rgb, mirall;
    cv::cvtColor(actual_, rgb, cv::COLOR_BGR2RGB);
    cv::resize(rgb, rgb, {mida.width(), mida.height()});
    if (seg_) mostra_el_color(rgb, seg_->mascara());
    cv::flip(rgb, mirall, 1); // as in a mirror, as the pointer moves
    QImage imatge(mirall.data, mirall.cols, mirall.rows, int(mirall.step), QImage::Format_RGB888);
    QPixmap pintura = QPixmap::fromImage(imatge.copy());
    if (punt) {
        QPointF al_mirall(mida.width() - punt->x, punt->y);
        QPainter p(&pintura);
        if (punt_) mostra_les_cantonades(p, punt_->cantonades());
        p.setPen(QPen(Qt::white, 3));
        p.drawEllipse(al_mirall, 14, 14);
        p.setPen(QPen(Qt::black, 1));
        p.drawEllipse(al_mirall, 14, 14);
    }
    imatge_->setPixmap(pintura);
}

// What the tracker takes for the object's colour, striped over the picture: a
// helper sees at once whether the pick holds the object and nothing else.
void finestra_calibratge::mostra_el_color(cv::Mat& rgb, const cv::Mat& mascara) {
    if (mascara.empty()) return;
    cv::Mat gran;
    cv::resize(mascara, gran, rgb.size(), 0, 0, cv::INTER_NEAREST);
    for (int y = 0; y < rgb.rows; ++y)
        for (int x = y % 6; x + 1 < rgb.cols; x += 6) // diagonal stripes: the object's own colour shows between
            if (gran.at<uchar>(y, x)) rgb.at<cv::Vec3b>(y, x) = rgb.at<cv::Vec3b>(y, x + 1) = cv::Vec3b(255, 0, 255);
}

// The corners that carry the point, mirrored as the picture is: a helper sees they sit on the feature.
void finestra_calibratge::mostra_les_cantonades(QPainter& p, const std::vector<cv::Point2f>& cantonades) {
    p.setPen(Qt::NoPen);
    p.setBrush(Qt::yellow);
    for (const cv::Point2f& c : cantonades) p.drawEllipse(QPointF(mida.width() - c.x, c.y), 2, 2);
    p.setBrush(Qt::NoBrush);
}

void finestra_calibratge::tria_punt(cv::Point punt) {
    std::optional<configuracio> triat = calibra_punt(actual_, punt, c_);
    if (!triat) { // the point before, if any, stands
        estat_->setText(t_.sense_relleu);
        return;
    }
    c_ = *triat;
    estat_->setText(instruccio());
    desa_->setEnabled(true);
    recalibra();
}

void finestra_calibratge::mousePressEvent(QMouseEvent* event) {
    QPoint p = imatge_->mapFrom(this, event->position().toPoint());
    if (actual_.empty() || !imatge_->rect().contains(p)) return;
    // Back from the mirrored picture to the camera's own.
    cv::Point punt((mida.width() - 1 - p.x()) * actual_.cols / mida.width(), p.y() * actual_.rows / mida.height());
    if (c_.segueix == configuracio::manera::punt) return tria_punt(punt);
    presa triat = calibra(actual_, punt, c_);
    if (triat.estat != presa::valida) { // the pick before, if any, stands
        estat_->setText(triat.estat == presa::sense_color ? t_.sense_color : t_.massa_gran);
        return;
    }
    triat_ = actual_.clone();
    clic_ = punt;
    c_ = triat.c;
    estat_->setText(instruccio());
    desa_->setEnabled(true);
    recalibra();
}

} // namespace tintseer
