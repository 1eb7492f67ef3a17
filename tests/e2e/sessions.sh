#!/usr/bin/env bash
# A person plays the real program for half a minute with the pointer; the
# session's journal is exported from the command line to MIDI and WAV, and the
# exports are what the journal holds and what was heard, the capture measured
# on the clock the program wrote beside it.
set -euo pipefail
programa=$1
compara=$2
here=$(cd "$(dirname "$0")" && pwd)
# shellcheck source=comu.sh
. "$here/comu.sh"

# A program folder of the test's own: the people and their sessions are kept beside it.
cp -r "$(dirname "$programa")" "$feina/bin"
rm -rf "$feina/bin/sessions" "$feina/bin/persones"
programa=$feina/bin/brisola
mkdir -p "$feina/bin/persones"
printf '[persona]\nacces=0\nmodalitat=2\n' >"$feina/bin/persones/Martí.ini"

export BRISOLA_MARQUES_AUDIO=$feina/marques
engega "$programa" --persona Martí
finestra=$(troba_finestra .) || falla "no window"
# The output opens behind a probe: the first note waits for it, so the capture holds it whole.
for _ in $(seq 100); do [ "$(so_fins_ara)" -gt 0 ] && break; sleep 0.1; done
sleep 1
# Rests and moves, so that notes come slow enough apart to be told one from another.
dalt=$(dalt_superficie)
for i in $(seq 20); do
  xdotool mousemove --window "$finestra" $((50 + (i * 137) % 700)) $((dalt + 40 + (i * 71) % 300))
  sleep 1.5
done
tecla alt+o
sleep 0.5
xdotool key Up Return
espera_final || falla "the program did not end after Sortir"

diari=$(ls "$feina/bin/sessions/Martí/"*.diari 2>/dev/null | head -1)
[ -n "$diari" ] || falla "no session was kept"
[ "$(stat -c %a "$diari")" = 600 ] || falla "the session is readable by others"
[ "$(stat -c %a "$feina/bin/sessions/Martí")" = 700 ] || falla "the person's folder is open to others"
"$programa" --export "$diari" "$feina/sessio.mid" || falla "the MIDI export failed"
"$programa" --export "$diari" "$feina/sessio.wav" || falla "the WAV export failed"
"$compara" "$diari" "$feina/sessio.mid" "$feina/sessio.wav" "$SDL_DISKAUDIOFILE" "$BRISOLA_MARQUES_AUDIO" || falla "the exports differ from the session"
echo "1 passed, 0 failed"
