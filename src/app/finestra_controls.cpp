// The window's controls, at their positions in twips of their container.
#include "app/finestra_main.h"
#include "platform/caixa_imatge.h"
#include "platform/forma.h"
#include "platform/llista.h"
#include "platform/twips.h"
#include "presentation/imatges.h"

#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QScrollBar>

namespace brisola {

namespace {

QLabel* etiqueta(QWidget* pare, const QString& caption, const QRect& lloc) {
    auto* label = new QLabel(caption, pare);
    label->setGeometry(lloc);
    return label;
}

QPushButton* boto(QWidget* pare, const QString& caption, const QRect& lloc) {
    auto* b = new QPushButton(caption, pare);
    b->setGeometry(lloc);
    return b;
}

QWidget* caixa_dibuix(QWidget* pare, const QRect& lloc) {
    auto* caixa = new QFrame(pare);
    caixa->setFrameShape(QFrame::Box);
    caixa->setGeometry(lloc);
    return caixa;
}

void pinta_fons(QWidget* control, QColor color) {
    QPalette paleta = control->palette();
    paleta.setColor(QPalette::Window, color);
    control->setPalette(paleta);
    control->setAutoFillBackground(true);
}

} // namespace

void finestra_main::crea_panell_test(QWidget* area) {
    Frame1 = new QGroupBox("Test", area);
    Frame1->setGeometry(twips(0, 0, 11835, 5670));
    Frame1->hide();
    List1 = new llista(Frame1);
    List1->setGeometry(twips(240, 480, 3600, 2160));
    Command1 = boto(Frame1, "Play Note C4", twips(240, 2760, 1695, 420));
    sb_play = new QScrollBar(Qt::Vertical, Frame1);
    sb_play->setGeometry(twips(8040, 480, 255, 4200));
    Picture1 = caixa_dibuix(Frame1, twips(240, 3360, 7560, 1320));
    Command2 = boto(Frame1, "All Sound Off", twips(2145, 2760, 1695, 420));
    lst_sound_list = new llista(Frame1);
    lst_sound_list->setGeometry(twips(4080, 480, 3720, 2160));
    Bender = caixa_dibuix(Frame1, twips(8520, 480, 615, 4200));
    Command5 = boto(Frame1, "Escala", twips(4080, 2760, 1695, 420));
    Label1 = etiqueta(Frame1, "Devices", twips(240, 240, 3600, 240));
    Label2 = etiqueta(Frame1, "Sounds", twips(4080, 240, 3720, 240));
}

void finestra_main::crea_controls() {
    t_ritmes = serveis_.temps.crea();
    crea_panell_test(area_);
    t_acords = serveis_.temps.crea();
    T_controll_tintseer = serveis_.temps.crea();
    T_controll_tintseer->set_Interval(500);

    Frame2 = new QFrame(area_);
    Frame2->setGeometry(twips(1800, 240, 6615, 4695));
    pinta_fons(Frame2, Qt::white);
    Image1 = new QLabel(Frame2);
    Image1->setGeometry(twips(120, 240, 6270, 4290));
    Image1->setScaledContents(true);
    Image1->setPixmap(carrega_imatge(serveis_.directori + "/inici.svg", {418, 286}));

    T_mouse = serveis_.temps.crea();
    T_mouse->set_Enabled(true);
    pantalla = new caixa_imatge(area_);
    pantalla->setGeometry(twips(8160, 120, 1815, 1815));
    pantalla->set_BackColor(QColor(255, 255, 0));
    pantalla->hide();
    u_curs_img = new imatge(pantalla);
    u_curs_img->set_Picture(carrega_imatge(serveis_.directori + "/cursor.svg", {64, 64}));
    u_curs_img->setGeometry(0, 0, 32, 32);
    u_curs_img->hide();
    u_curs_shape = new forma(pantalla);
    u_curs_shape->setGeometry(0, 0, 32, 32);
    u_curs_shape->hide();
    t_tintseer = serveis_.temps.crea();
    t_tintseer->set_Enabled(true);
    t_joy = serveis_.temps.crea();
    t_joy->set_Enabled(true);

    Label8 = etiqueta(area_, "Label8", twips(120, 5040, 1200, 255));
    Label7 = etiqueta(area_, "Label7", twips(1440, 5040, 1200, 255));
    Label6 = etiqueta(area_, "Label6", twips(2760, 5040, 1200, 255));
    Label5 = etiqueta(area_, "Label5", twips(4080, 5040, 1200, 255));
    for (QLabel* label : {Label8, Label7, Label6, Label5}) label->hide();
}

} // namespace brisola
