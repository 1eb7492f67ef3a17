#pragma once
// Starting another program and watching the window it shows: the tracker's
// calibration program. The program tells that its window is shown by writing
// the line "finestra" on its standard output, and it ends when that window closes.
#include <QString>

#include <cstdint>

namespace brisola {

class programes {
public:
    virtual ~programes() = default;
    // Starts the program; false when it cannot be started (missing, not executable).
    virtual bool ShellExecuteA(const QString& cami) = 0;
    // The window of the program last started, once it has shown one; 0 until then.
    virtual uintptr_t finestra_mostrada() = 0;
    // Whether the program last started still runs.
    virtual bool en_marxa() = 0;
    // Whether that window is still open.
    virtual bool IsWindow(uintptr_t finestra) = 0;
};

} // namespace brisola
