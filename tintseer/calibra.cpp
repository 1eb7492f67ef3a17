// tintseer: the colour tracker's calibration program.
#include "finestra_calibratge.h"

#include <QApplication>
#include <QMessageBox>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    auto t = tintseer::textos::de_la_carpeta(QCoreApplication::applicationDirPath());
    auto c = tintseer::configuracio::llegeix();
    auto font = tintseer::obre_font(c);
    if (!font) {
        QMessageBox::information(nullptr, t.titol, t.sense_camera);
        return 1;
    }
    tintseer::finestra_calibratge finestra(c, std::move(font), t);
    finestra.show();
    return app.exec();
}
