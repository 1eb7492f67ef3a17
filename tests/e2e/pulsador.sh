#!/usr/bin/env bash
# One key and nothing else, with a tremor's times (acceptance 60 ms, ignore
# 250 ms): held to open the board, the board left to close by itself, then
# presses, a key brushed during a hold and a double click. Whatever the hand
# did, no note starts after the last release (the last one may ring on).
set -euo pipefail
programa=$1
altura=$2
here=$(cd "$(dirname "$0")" && pwd)
# shellcheck source=comu.sh
. "$here/comu.sh"

cp -r "$(dirname "$programa")" "$feina/bin"
programa=$feina/bin/brisola
mkdir -p "$feina/bin/persones"
segon=384000 # bytes of a second's capture: 48 kHz stereo float

# what: after a release, a quarter of a second at a time for three seconds, the sound only dies
# away: it never grows, and it ends well below where it began (a note repeated would hold it up)
calla() {
  local fi inici rms primer anterior=1 serie=
  fi=$(so_fins_ara)
  sleep 3.6
  for k in $(seq 0 11); do
    inici=$((fi + segon / 2 + k * segon / 4))
    rms=$(escolta "$inici" $((inici + segon / 4)) | awk '{ print $2 }')
    serie="$serie $rms"
    primer=${primer:-$rms}
    awk -v r="$rms" -v a="$anterior" 'BEGIN { exit !(r < 0.0005 || r <= 1.5 * a) }' ||
      falla "$1: a note started $((500 + k * 250)) ms after the last release (rms:$serie)"
    anterior=$rms
  done
  awk -v r="$rms" -v p="$primer" 'BEGIN { exit !(r < 0.0005 || r < 0.5 * p) }' ||
    falla "$1: notes still start 3 s after the last release (rms:$serie)"
  echo "$1: dies away after the release (rms:$serie)"
}

# what seconds: the key held that long plays
sona() {
  local inici rms
  inici=$(so_fins_ara)
  xdotool keydown space
  sleep "$2"
  rms=$(escolta "$inici" "$(so_fins_ara)" | awk '{ print $2 }')
  awk -v r="$rms" 'BEGIN { exit !(r > 0.0005) }' || falla "$1: nothing played while the key was held (rms $rms)"
}

printf '[persona]\nacces=3\ntauler_pulsador=2000\nescombrat=300\npulsador_acceptacio=60\npulsador_ignora=250\n' \
  >"$feina/bin/persones/Pau.ini"
engega "$programa" --persona Pau
finestra=$(troba_finestra) || falla "no window titled Brisola"
sleep 1
xdotool mousemove --window "$finestra" 400 200 # the pointer only lends the window its focus
xdotool windowfocus --sync "$finestra"

xdotool keydown space
sleep 2.5 # the board opens at 2 s
xdotool keyup space
sleep 8 # three idle rounds of its seven tiles, 0.3 s each: it closes
sona "after the board closed by itself" 1 # well inside the board's 2 s
xdotool keyup space
calla "after the board closed by itself"

sona "a key brushed during a hold" 0.7 # the whole hold shorter than the board's 2 s
xdotool keydown a
sleep 0.02
xdotool keyup a
sleep 0.7
xdotool keyup space
calla "a key brushed during a hold"

dalt=$(dalt_superficie)
xdotool mousemove --window "$finestra" 400 $((dalt + 150))
for _ in 1 2; do # a double click, each press held past the acceptance
  xdotool mousedown 1
  sleep 0.1
  xdotool mouseup 1
  sleep 0.1
done
calla "a double click"
{ kill "$pid" && wait "$pid"; } 2>/dev/null || true
echo "1 passed, 0 failed"
