#!/usr/bin/env bash
# Plays the real program with the mouse: Ctrl+M, then a high and a low point.
# The title must show the notes the dispatcher computes, nothing may sound
# before the choice, and the high point must sound higher.
set -euo pipefail
programa=$1
altura=$2
here=$(cd "$(dirname "$0")" && pwd)
# shellcheck source=comu.sh
. "$here/comu.sh"

engega "$programa"
finestra=$(troba_finestra) || falla "no window titled Brisola"
so="$SDL_DISKAUDIOFILE"
bytes_per_segon=$((48000 * 2 * 4))

sleep 0.5
abans=$(stat -c %s "$so") # nothing plays until an access method is chosen
xdotool key --window "$finestra" ctrl+m
sleep 0.5
read -r amplada alcada < <(xdotool getwindowgeometry --shell "$finestra" | awk -F= '/WIDTH/{w=$2} /HEIGHT/{h=$2} END{print w, h}')
# No window manager here: the window keeps its size, the surface its 789 x 378 below the menu bar.
superficie_w=789 superficie_h=378
dalt=$((alcada - superficie_h))
[ "$amplada" -eq "$superficie_w" ] || falla "unexpected window width $amplada"

# The status line the dispatcher writes for a point of the surface (modality
# "Ritme i notes", "Invertir X" ticked by the mouse choice, tempo 400).
esperat() {
  awk -v X="$1" -v Y="$2" -v W="$superficie_w" -v H="$superficie_h" 'BEGIN {
    x = sprintf("%.0f", X * 640 / W) + 0; y = sprintf("%.0f", Y * 480 / H) + 0
    ex = 640 - x; nota = sprintf("%.0f", 96 * (480 - y) / 480) + 12
    printf " %d %d 0 0   c 0\n", ex, nota }'
}

toca() { # x y: moves there, waits, prints the title and the audio written so far
  xdotool mousemove --window "$finestra" "$1" $(($2 + dalt))
  sleep 1.2
  echo "$(xdotool getwindowname "$finestra")|$(stat -c %s "$so")"
}

IFS='|' read -r titol_alt fi_alt < <(toca 400 80)
IFS='|' read -r titol_baix fi_baix < <(toca 400 300)

[ "$titol_alt" = "$(esperat 400 80)" ] || falla "title '$titol_alt', expected '$(esperat 400 80)'"
[ "$titol_baix" = "$(esperat 400 300)" ] || falla "title '$titol_baix', expected '$(esperat 400 300)'"

mig_segon=$((bytes_per_segon / 2))
read -r _ rms_abans _ _ _ _ < <("$altura" "$so" 0 "$abans")
read -r _ rms_alt _ hz_alt _ _ < <("$altura" "$so" $((fi_alt - mig_segon)) "$fi_alt")
read -r _ rms_baix _ hz_baix _ _ < <("$altura" "$so" $((fi_baix - mig_segon)) "$fi_baix")
echo "before: rms $rms_abans; high: rms $rms_alt, $hz_alt Hz; low: rms $rms_baix, $hz_baix Hz"
awk -v r="$rms_abans" 'BEGIN { exit !(r < 0.0001) }' || falla "sound before the access choice"
awk -v a="$rms_alt" -v b="$rms_baix" 'BEGIN { exit !(a > 0.002 && b > 0.002) }' || falla "no sound after the moves"
awk -v a="$hz_alt" -v b="$hz_baix" 'BEGIN { exit !(a > 2 * b) }' || falla "the high point does not sound higher"
echo "1 passed, 0 failed"
