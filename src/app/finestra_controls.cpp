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

#include <vector>

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

caixa_imatge* caixa_escala(QWidget* pare, const QRect& lloc, float amplada, float alcada) {
    auto* caixa = new caixa_imatge(pare);
    caixa->setGeometry(lloc);
    caixa->Scale(amplada, alcada);
    caixa->set_BackColor(Qt::white);
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
    sb_play->setRange(0, 127);
    Picture1 = caixa_escala(Frame1, twips(240, 3360, 7560, 1320), 405, 127);
    Command2 = boto(Frame1, "All Sound Off", twips(2145, 2760, 1695, 420));
    lst_sound_list = new llista(Frame1);
    lst_sound_list->setGeometry(twips(4080, 480, 3720, 2160));
    Bender = caixa_escala(Frame1, twips(8520, 480, 615, 4200), 1, 16383);
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

    T_mouse = serveis_.temps.crea();
    T_mouse->set_Enabled(true);
    pantalla = new caixa_imatge(area_);
    pantalla->setGeometry(twips(8160, 120, 1815, 1815));
    pantalla->set_BackColor(QColor(255, 255, 0));
    pantalla->hide();
    u_curs_img = new imatge(pantalla);
    u_curs_img->set_Picture(carrega_imatge(serveis_.dades + "/cursor.svg", {64, 64}));
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

namespace brisola {

std::vector<control_traduible> finestra_main::Controls() {
    std::vector<control_traduible> controls;
    auto sense_caption = [&](const char* nom) { controls.push_back({nom, std::nullopt, nullptr, nullptr, nullptr}); };
    auto amb_caption = [&](const char* nom, auto* control, auto llegeix, auto escriu) {
        controls.push_back({nom, std::nullopt, [=] { return (control->*llegeix)(); },
                            [=](const QString& t) { (control->*escriu)(t); }, nullptr});
    };
    auto llista_box = [&](const char* nom, llista* l) {
        controls.push_back({nom, std::nullopt, nullptr, nullptr,
                            [l] { return l->currentItem() ? l->currentItem()->text() : QString(); }});
    };
    auto element = [&](const char* nom, std::optional<int16_t> index, QAction* a) {
        controls.push_back({nom, index, [a] { return a->text(); }, [a](const QString& t) { a->setText(t); }, nullptr});
    };
    auto menu = [&](const char* nom, const menu_array& m) {
        for (int16_t i = 0; i < m.size(); ++i) element(nom, i, m[i]);
    };

    sense_caption("t_ritmes");
    amb_caption("Frame1", Frame1, &QGroupBox::title, &QGroupBox::setTitle);
    llista_box("List1", List1);
    amb_caption("Command1", Command1, &QPushButton::text, &QPushButton::setText);
    sense_caption("sb_play");
    sense_caption("Picture1");
    amb_caption("Command2", Command2, &QPushButton::text, &QPushButton::setText);
    llista_box("lst_sound_list", lst_sound_list);
    sense_caption("Bender");
    amb_caption("Command5", Command5, &QPushButton::text, &QPushButton::setText);
    amb_caption("Label1", Label1, &QLabel::text, &QLabel::setText);
    amb_caption("Label2", Label2, &QLabel::text, &QLabel::setText);
    sense_caption("t_acords");
    sense_caption("T_controll_tintseer");
    sense_caption("Frame2");
    sense_caption("Image1");
    sense_caption("T_mouse");
    sense_caption("pantalla");
    sense_caption("u_curs_img");
    sense_caption("u_curs_shape");
    sense_caption("t_tintseer");
    sense_caption("t_joy");
    amb_caption("Label8", Label8, &QLabel::text, &QLabel::setText);
    amb_caption("Label7", Label7, &QLabel::text, &QLabel::setText);
    amb_caption("Label6", Label6, &QLabel::text, &QLabel::setText);
    amb_caption("Label5", Label5, &QLabel::text, &QLabel::setText);

    menu("mn_op", mn_op);
    element("mn_id", std::nullopt, mn_id);
    menu("mn_idioma", mn_idioma);
    menu("mn_opcions", mn_opcions);
    menu("mn_acc", mn_acc);
    menu("mn_acces", mn_acces);
    menu("mn_inv", mn_inv);
    menu("mn_pos", mn_pos);
    element("mn_mod", std::nullopt, mn_mod);
    menu("fmus", fmus);
    menu("rmus", rmus);
    menu("CMUS", CMUS);
    element("mn_au", std::nullopt, mn_au);
    menu("mn_inst", mn_inst);
    menu("mn_ritme", mn_ritme);
    menu("mn_instrument", mn_instrument);
    element("mn_car", std::nullopt, mn_car);
    menu("mn_img", mn_img);
    menu("mn_carat", mn_carat);
    element("mn_aj", std::nullopt, mn_aj);
    return controls;
}

} // namespace brisola
