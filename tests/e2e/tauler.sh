#!/usr/bin/env bash
# The board of choices with one input. A switch user (the space bar and nothing
# else) holds the switch to open the board, chooses "Bateria" and then an
# instrument as the highlight passes, and the drums play under the next press.
# A mouse user rests the real pointer on the board's corner button, then on
# "Modalitat" and "Escala i temps", and the pointer then plays the scale.
set -euo pipefail
programa=$1
altura=$2
here=$(cd "$(dirname "$0")" && pwd)
# shellcheck source=comu.sh
. "$here/comu.sh"

cp -r "$(dirname "$programa")" "$feina/bin"
programa=$feina/bin/brisola
mkdir -p "$feina/bin/persones"
surt() { { kill "$pid" && wait "$pid"; } 2>/dev/null || true; }
# seconds: the switch held that long
preme() { xdotool keydown space; sleep "$1"; xdotool keyup space; }

# The highlight rests 3 s on each tile, so that a press timed here lands well inside its tile's
# turn however late the program or the X server is on a busy machine.
printf '[persona]\nacces=3\ntauler_pulsador=4000\nescombrat=3000\n' >"$feina/bin/persones/Pau.ini"
engega "$programa" --persona Pau
finestra=$(troba_finestra) || falla "no window titled Brisola"
sleep 1
xdotool mousemove --window "$finestra" 400 200 # the pointer only lends the window its focus
xdotool windowfocus --sync "$finestra"
preme 4.75                 # opens at 4 s: "Modalitat" is highlighted until 7 s
sleep 0.5; preme 0.05      # chooses "Modalitat" (a press at once after a release is the key's own repeat)
sleep 7.45; preme 0.05     # "Bateria", the third tile, highlighted from 6 s to 9 s
sleep 0.3; preme 4.75      # opens again: "Instrument" is highlighted from 7 s to 10 s
sleep 3.75; preme 0.05     # chooses "Instrument"
sleep 1.45; preme 0.05     # its first group of eight
sleep 4.45; preme 0.05     # its second instrument, from 3 s to 6 s: the board closes
sleep 0.5
inici=$(so_fins_ara)
preme 3.5
read -r _ rms _ < <(escolta "$inici" "$(so_fins_ara)")
echo "switch: drums under the press, rms $rms"
awk -v r="$rms" 'BEGIN { exit !(r > 0.0005) }' || falla "no drums after choosing Bateria on the board (rms $rms)"
# What the switch chose, as the helper's "Desa" keeps it.
tria p d
grep -q "^modalitat=2$" "$feina/bin/persones/Pau.ini" || falla "Bateria was not chosen on the board"
grep -q "^instrument=2$" "$feina/bin/persones/Pau.ini" || falla "the second instrument was not chosen on the board"
surt

printf '[persona]\nacces=0\ninvertir_x=1\ntauler_cantonada=2\nrepos=1000\n' >"$feina/bin/persones/Rita.ini"
engega "$programa" --persona Rita
finestra=$(troba_finestra .) || falla "no window for the mouse user"
sleep 1
dalt=$(dalt_superficie)
amplada=$(xdotool getwindowgeometry --shell "$finestra" | awk -F= '/WIDTH/{print $2}')
alt=378
xdotool mousemove --window "$finestra" $((amplada - 30)) $((dalt + 15)) # on the corner button
sleep 2
# The first tiles, 4 by 2: "Modalitat" first; its own, 3 by 2: "Escala i temps" second.
xdotool mousemove --window "$finestra" $((amplada / 8)) $((dalt + alt / 4))
sleep 1.8
xdotool mousemove --window "$finestra" $((amplada / 2)) $((dalt + alt / 4))
sleep 1.8
mig_segon=96000 # bytes of half a second's capture
xdotool mousemove --window "$finestra" $((amplada / 10)) $((dalt + alt / 2))
sleep 1
read -r _ rms_e _ hz_e _ _ < <(escolta $(($(so_fins_ara) - mig_segon)) "$(so_fins_ara)")
xdotool mousemove --window "$finestra" $((amplada * 9 / 10)) $((dalt + alt / 2))
sleep 1
read -r _ rms_d _ hz_d _ _ < <(escolta $(($(so_fins_ara) - mig_segon)) "$(so_fins_ara)")
echo "dwell: left rms $rms_e, $hz_e Hz; right rms $rms_d, $hz_d Hz"
awk -v a="$rms_e" -v b="$rms_d" 'BEGIN { exit !(a > 0.0005 && b > 0.0005) }' || falla "the scale did not sound after dwelling"
awk -v a="$hz_e" -v b="$hz_d" 'BEGIN { exit !(a > 1.5 * b || b > 1.5 * a) }' ||
  falla "left and right sound alike: Escala i temps was not chosen"
surt
echo "1 passed, 0 failed"
