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

# 1 while the board shows: its dark tiles then cover most of the surface; 0 otherwise
tauler_obert() {
  xwd -silent -id "$finestra" >"$feina/finestra.xwd"
  /usr/bin/convert "$feina/finestra.xwd" -crop "789x378+0+$(dalt_superficie)" +repage -fuzz 2% \
    -fill white -opaque "rgb(20,20,20)" -fill black +opaque white -format "%[fx:mean > 0.3]" info:
}

# 1|0, seconds: waits that long at most for the board to open or to close
espera_tauler() {
  local fins=$((SECONDS + $2))
  while [ "$SECONDS" -lt "$fins" ]; do
    [ "$(tauler_obert)" = "$1" ] && return 0
    sleep 0.1
  done
  return 1
}

# What was played is read from the person's journal, which the program writes every tenth of a
# second: a note-on there is one the synthesizer sounded. The captured sound cannot tell a note
# that starts from one that rings on: the lowest ones keep half their level for seconds, and
# some swell as they fade.
diari() { cat "$feina"/bin/sessions/Pau/*.diari 2>/dev/null || true; }
notes() { diari | awk '/^M/ && $2 ~ /^9/ && substr($2, 5, 2) != "00"' | wc -l; }
alliberaments() { diari | awk '/^K/ && $2 == 0' | wc -l; } # as they came, counted or not

# Before the hand acts: the notes played and the releases seen so far.
abans() {
  notes_abans=$(notes)
  alliberaments_abans=$(alliberaments)
}

# what, releases: once the program has seen the hand's releases and a second has passed (what the
# clock sent before them has sounded by then), no note starts over the next three seconds
calla() {
  local fins=$((SECONDS + 10))
  while [ "$(alliberaments)" -lt $((alliberaments_abans + $2)) ]; do
    [ "$SECONDS" -lt "$fins" ] || falla "$1: the program never saw the release"
    sleep 0.1
  done
  sleep 1
  sonades=$(notes)
  sleep 3
  [ "$(notes)" -eq "$sonades" ] || falla "$1: $(($(notes) - sonades)) notes started after the last release"
  echo "$1: $((sonades - notes_abans)) notes, none after the last release"
}

# what: the hold before `calla` played (a note that a stalled output sounds too late is dropped:
# asked only of holds long enough to play many)
sonava() { [ "$sonades" -gt "$notes_abans" ] || falla "$1: nothing played while the switch was held"; }

printf '[persona]\nacces=3\ntauler_pulsador=2000\nescombrat=300\npulsador_acceptacio=60\npulsador_ignora=250\n' \
  >"$feina/bin/persones/Pau.ini"
engega "$programa" --persona Pau
finestra=$(troba_finestra) || falla "no window titled Brisola"
for _ in $(seq 100); do [ "$(so_fins_ara)" -gt 0 ] && break; sleep 0.1; done # the output opens behind a probe
xdotool mousemove --window "$finestra" 400 200 # the pointer only lends the window its focus
xdotool windowfocus --sync "$finestra"

[ "$(tauler_obert)" = 0 ] || falla "the board showed before the switch was held"
xdotool keydown space
espera_tauler 1 20 || falla "the board did not open while the switch was held" # it opens at 2 s
xdotool keyup space
# three idle rounds of its seven tiles, 0.3 s each: it closes
espera_tauler 0 30 || falla "the board did not close by itself"
abans
xdotool keydown space
sleep 1 # well inside the board's 2 s
xdotool keyup space
calla "after the board closed by itself" 1
sonava "after the board closed by itself"

abans
xdotool keydown space
sleep 0.7 # the whole hold shorter than the board's 2 s
xdotool keydown a
sleep 0.02
xdotool keyup a
sleep 0.7
xdotool keyup space
calla "a key brushed during a hold" 1
sonava "a key brushed during a hold"

dalt=$(dalt_superficie)
xdotool mousemove --window "$finestra" 400 $((dalt + 150))
abans
for _ in 1 2; do # a double click, each press held past the acceptance
  xdotool mousedown 1
  sleep 0.1
  xdotool mouseup 1
  sleep 0.1
done
calla "a double click" 2
{ kill "$pid" && wait "$pid"; } 2>/dev/null || true
echo "1 passed, 0 failed"
