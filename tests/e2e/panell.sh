#!/usr/bin/env bash
# The MIDI test panel of the real program: Ctrl+T shows it, "Play Note C4" is
# heard, and "All Sound Off" silences it, all by the real pointer.
set -euo pipefail
programa=$1
altura=$2
here=$(cd "$(dirname "$0")" && pwd)
# shellcheck source=comu.sh
. "$here/comu.sh"
rms_de() { escolta "$1" "$2" | awk '{ print $2 }'; }
mes_que() { awk -v a="$1" -v b="$2" 'BEGIN { exit !(a > b) }'; }

engega "$programa"
finestra=$(troba_finestra) || falla "no window titled Brisola"
tecla ctrl+t
sleep 0.5
dalt=$(dalt_superficie)
# The buttons' places in the panel, in pixels: "Play Note C4" at 16,184 and "All Sound Off" at 143,184, 113 x 28.
clica() {
  xdotool mousemove --window "$finestra" "$1" $((dalt + 198)) click 1
}
inici=$(so_fins_ara)
sleep 0.5
silenci=$(rms_de "$inici" "$(so_fins_ara)")
clica 72
sleep 0.3
inici=$(so_fins_ara)
sleep 0.5
nota=$(rms_de "$inici" "$(so_fins_ara)")
clica 199
sleep 0.3
inici=$(so_fins_ara)
sleep 0.5
despres=$(rms_de "$inici" "$(so_fins_ara)")
echo "before: rms $silenci; Play Note C4: rms $nota; All Sound Off: rms $despres"
mes_que 0.0001 "$silenci" || falla "sound before any note"
mes_que "$nota" 0.002 || falla "Play Note C4 was not heard"
mes_que "$(awk -v s="$nota" 'BEGIN { print s / 20 }')" "$despres" || falla "All Sound Off left the note sounding"
echo "1 passed, 0 failed"
