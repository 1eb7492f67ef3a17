#!/usr/bin/env bash
# The tracker's calibration program on a video of a still green disc: a click on
# the disc picks its colour, "Desa" writes the calibration, and the tracker
# library then follows that disc, in the camera's own coordinates. On a person,
# "Punt" and a click on the tip of the nose: the library follows that point. A program that
# ends while tracking ends cleanly; with no camera the window still shows, saying so.
set -euo pipefail
calibrador=$(realpath "$1")
ajudant=$(realpath "$2")
here=$(cd "$(dirname "$0")" && pwd)
# shellcheck source=comu.sh
. "$here/comu.sh"

"$ajudant" escriu "$feina/disc.avi" 200 150
export TINTSEER_CONFIG="$feina/tintseer.conf"
printf 'color=120,200,200\ntolerancia=12\nfont=%s\n' "$feina/disc.avi" >"$TINTSEER_CONFIG" # blue: not the disc

engega "$calibrador"
finestra=
for _ in $(seq 100); do
  finestra=$(xdotool search --all --onlyvisible --pid "$pid" --name 'Tintseer' 2>/dev/null | head -1 || true)
  [ -n "$finestra" ] && break
  sleep 0.1
done
[ -n "$finestra" ] || falla "the calibration program showed no window"
grep -qx finestra "$feina/sortida.log" || falla "the calibration program did not tell its window is shown"
sleep 0.5
# The picture is shown as in a mirror, 8 pixels in from the window's corner: the disc at 639 - 200, 150.
xdotool mousemove --window "$finestra" $((8 + 439)) $((8 + 150)) click 1
sleep 0.3
xdotool windowfocus --sync "$finestra" 2>/dev/null || true
xdotool key alt+d
sleep 0.5
to=$(sed -n 's/^color=\([0-9]*\),.*/\1/p' "$TINTSEER_CONFIG")
echo "calibrated hue: $to"
[ "${to:-0}" -ge 50 ] && [ "${to:-0}" -le 70 ] || falla "the click did not pick the green disc (hue ${to:-none})"

read -r vertical horitzontal < <("$ajudant" segueix "$(dirname "$calibrador")")
echo "the library follows it at $vertical, $horitzontal"
awk -v v="$vertical" -v h="$horitzontal" 'BEGIN { exit !((v - 150) ^ 2 + (h - 200) ^ 2 <= 64) }' ||
  falla "the library does not follow the calibrated disc (at $vertical, $horitzontal, expected 150, 200)"
"$ajudant" segueix "$(dirname "$calibrador")" i-surt >/dev/null 2>"$feina/surt.log" ||
  falla "a program that ends while tracking did not end cleanly: $(cat "$feina/surt.log")"

kill "$pid" 2>/dev/null && wait "$pid" 2>/dev/null || true
# A point of the body: "Punt", a click on the tip of the nose, "Desa"; the library then follows that point.
"$ajudant" cara "$feina/cara.avi" quiet 90 >/dev/null
sed -i "s|^font=.*|font=$feina/cara.avi|" "$TINTSEER_CONFIG"
engega "$calibrador"
finestra=$(troba_finestra Tintseer) || falla "the calibration program showed no window"
sleep 0.5
xdotool mousemove --window "$finestra" 100 100 click 1 # the window takes the keys once clicked
sleep 0.3
xdotool windowfocus --sync "$finestra" 2>/dev/null || true
xdotool key alt+p
sleep 0.3
# The nose's tip is at 320, 230 of the camera's picture.
xdotool mousemove --window "$finestra" $((8 + 639 - 320)) $((8 + 230)) click 1
sleep 0.3
xdotool windowfocus --sync "$finestra" 2>/dev/null || true
xdotool key alt+d
sleep 0.5
grep -qx segueix=punt "$TINTSEER_CONFIG" || falla "the calibration does not say it follows a point: $(cat "$TINTSEER_CONFIG")"
read -r vertical horitzontal < <("$ajudant" segueix "$(dirname "$calibrador")")
echo "the library follows the point at $vertical, $horitzontal"
awk -v v="$vertical" -v h="$horitzontal" 'BEGIN { exit !((v - 230) ^ 2 + (h - 320) ^ 2 <= 16) }' ||
  falla "the library does not follow the nose's tip (at $vertical, $horitzontal, expected 230, 320)"

kill "$pid" 2>/dev/null && wait "$pid" 2>/dev/null || true
sed -i "s|^font=.*|font=$feina/cap.avi|" "$TINTSEER_CONFIG"
engega "$calibrador"
for _ in $(seq 50); do grep -qx finestra "$feina/sortida.log" && break; sleep 0.1; done
grep -qx finestra "$feina/sortida.log" || falla "with no camera the calibration program showed no window"
xdotool search --all --onlyvisible --pid "$pid" --name 'Tintseer' >/dev/null || falla "its window is not visible"
echo "1 passed, 0 failed"
