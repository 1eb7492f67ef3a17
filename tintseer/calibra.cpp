// tintseer: the colour tracker's calibration program.
#include "finestra_calibratge.h"

#include <QApplication>
#include <QStandardPaths>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    // The instrument's settings: beside the program in its build tree, in the user's folder once installed.
    auto t = tintseer::textos::de_les_carpetes(
        {QCoreApplication::applicationDirPath(),
         QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) + "/brisola"});
    auto c = tintseer::configuracio::llegeix();
    // With no camera the window still shows, saying so: the instrument waits for it, and the helper reads why.
    tintseer::finestra_calibratge finestra(c, tintseer::obre_font(c), t);
    finestra.show();
    return app.exec();
}
