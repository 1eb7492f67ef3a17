#!/usr/bin/env bash
# The tracker's calibration program on a video of a still green disc: a click on
# the disc picks its colour, "Desa" writes the calibration, and the tracker
# library then follows that disc, in the camera's own coordinates. A program that
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
sed -i "s|^font=.*|font=$feina/cap.avi|" "$TINTSEER_CONFIG"
engega "$calibrador"
for _ in $(seq 50); do grep -qx finestra "$feina/sortida.log" && break; sleep 0.1; done
grep -qx finestra "$feina/sortida.log" || falla "with no camera the calibration program showed no window"
xdotool search --all --onlyvisible --pid "$pid" --name 'Tintseer' >/dev/null || falla "its window is not visible"
echo "1 passed, 0 failed"
