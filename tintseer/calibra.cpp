// tintseer: the colour tracker's calibration program.
#include "finestra_calibratge.h"

#include <QApplication>
#include <QMessageBox>
#include <QStandardPaths>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    // The instrument's settings: beside the program in its build tree, in the user's folder once installed.
    auto t = tintseer::textos::de_les_carpetes(
        {QCoreApplication::applicationDirPath(),
         QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) + "/brisola"});
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
