// Writes the language into a settings file over and over, alternating two
// values, until it is killed: the test that kills it checks the file is always whole.
#include "platform/fitxer_ini.h"

#include <QCoreApplication>

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    if (argc != 2) return 2;
    for (long n = 0;; ++n) brisola::WritePrivateProfileStringA("inici", "idioma", n % 2 ? "galego" : "catala", argv[1]);
}
