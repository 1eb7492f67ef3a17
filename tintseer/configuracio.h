#pragma once
// The tracker's own settings: what it follows (a colour, or a point of the body
// by its picture), the calibrated colour, its tolerance, and where the pictures
// come from (a camera, or a video file in its place). They live in
// $TINTSEER_CONFIG, else $XDG_CONFIG_HOME/tintseer/tintseer.conf (~/.config/...).
#include <string>
#include <vector>

namespace tintseer {

struct configuracio {
    enum class manera { color, punt };
    manera segueix = manera::color;           // a file that does not say follows a colour
    static constexpr int costat_plantilla = 31; // the point's patch: pixels a side
    std::vector<unsigned char> plantilla;     // the clicked point's patch, grey, costat_plantilla², row by row
    int to = 0, saturacio = 200, valor = 200; // OpenCV's HSV: hue 0..179, the others 0..255
    int tolerancia = 12;                      // hue units either side of `to`
    std::vector<int> histograma;              // hue × saturation of the clicked object; empty: from `to`
    double area = 0;                          // its area in the tracker's search picture; 0: learnt when seen
    std::string font;                         // a video file; empty: the first camera

    static std::string cami();
    // The settings in the file, or the defaults (a saturated red) when there is none; a point
    // without its whole patch (a damaged file) cannot be followed, so its colour is.
    static configuracio llegeix();
    // False when the file could not be written.
    bool desa() const;
};

} // namespace tintseer
