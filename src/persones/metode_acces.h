#pragma once
// The access methods, in the order of the access menu's items, and the frame
// their positions are measured in.
namespace brisola::metode_acces {

enum : int { ratoli, seguidor, joystick, pulsador };
constexpr double ample = 640, alt = 480;

} // namespace brisola::metode_acces
