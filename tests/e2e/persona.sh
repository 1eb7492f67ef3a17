#!/usr/bin/env bash
# A person set up once and played again: the mouse and "Bateria" saved as a new
# person, the program started again plays drums under the moving pointer with no
# menu touched; an unknown --persona starts as the seed does and says so.
set -euo pipefail
programa=$1
altura=$2
here=$(cd "$(dirname "$0")" && pwd)
# shellcheck source=comu.sh
. "$here/comu.sh"

# A program folder of the test's own: the people are kept beside its brisola.ini.
cp -r "$(dirname "$programa")" "$feina/bin"
programa=$feina/bin/brisola
finestres() { xdotool search --all --onlyvisible --pid "$pid" 2>/dev/null | grep -v "^$finestra\$" || true; }
surt() {
  local abans
  abans=$(finestres_visibles)
  tecla alt+o
  espera_finestres $((abans + 1))
  sleep 0.1
  xdotool key Up Return
  espera_final || falla "the program did not end after Sortir"
}

engega "$programa"
finestra=$(troba_finestra) || falla "no window titled Brisola"
tecla ctrl+m
tecla ctrl+b
# A busy X server can lose the first keys a new dialog is sent, or the "ú" xdotool types by
# remapping a key: what did not arrive is typed again, in the dialog if it is still there.
nomena() {
  local dialeg
  [ -n "$(finestres)" ] || tria p n # "Persona nova…"
  for _ in $(seq 100); do [ "$(finestres | wc -l)" = 1 ] && break; sleep 0.1; done
  dialeg=$(finestres)
  [ "$(echo "$dialeg" | wc -w)" = 1 ] || return 1
  xdotool windowfocus --sync "$dialeg" key --delay 20 End $(printf 'BackSpace %.0s' $(seq 12))
  xdotool type --delay 50 "Núria"
  xdotool key Return
  for _ in $(seq 50); do [ -f "$feina/bin/persones/Núria.ini" ] && return 0; sleep 0.1; done
  return 1
}
nomena || nomena || nomena || falla "the person was not saved"
surt

rm -f "$SDL_DISKAUDIOFILE" # so that its growth is this start's sound
engega "$programa"
finestra=$(troba_finestra .) || falla "no window at the second start" # already playing: the title is the status line
for _ in $(seq 100); do [ "$(so_fins_ara)" -gt 0 ] && break; sleep 0.1; done # the output opens behind the probe
inici=$(so_fins_ara)
passeja 2
rms=$(escolta "$inici" "$(so_fins_ara)" | awk '{ print $2 }')
echo "Núria started again: drums rms $rms"
awk -v r="$rms" 'BEGIN { exit !(r > 0.0005) }' || falla "the person's drums did not play (rms $rms)"
surt

engega "$programa" --persona Ningú
finestra=$(troba_finestra) || falla "no window titled Brisola with an unknown person"
for _ in $(seq 100); do [ -n "$(finestres)" ] && break; sleep 0.1; done
[ -n "$(finestres)" ] || falla "an unknown person was not said"
! grep -q "Ningú" "$feina/sortida.log" || falla "the person's name went to standard error"
xdotool windowfocus --sync "$(finestres | head -1)" key Return
sleep 0.3
inici=$(so_fins_ara)
passeja 1
rms=$(escolta "$inici" "$(so_fins_ara)" | awk '{ print $2 }')
awk -v r="$rms" 'BEGIN { exit !(r < 0.0001) }' || falla "an unknown person played something (rms $rms): not the seed's start"
echo "1 passed, 0 failed"
