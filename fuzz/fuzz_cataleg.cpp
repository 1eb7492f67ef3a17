// The whole start-up over any brisola.ini: the window built on recording fakes,
// its catalogue loaded into tables and menus, then closed.
#include "fakes/banc.h"

#include <QApplication>

using namespace brisola;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* dades, size_t mida) {
    static int argc = 1;
    static char nom[] = "fuzz_cataleg";
    static char* argv[] = {nom, nullptr};
    static QApplication* app = [] {
        qputenv("QT_QPA_PLATFORM", "offscreen");
        return new QApplication(argc, argv);
    }();
    (void)app;
    banc b;
    b.escriu("brisola.ini", QByteArray(reinterpret_cast<const char*>(dades), qsizetype(mida)));
    auto w = b.obre();
    w->show();
    return 0;
}
