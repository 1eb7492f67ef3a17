#!/usr/bin/env bash
# Faults a user meets, on the real program: with a soundfont that does not load,
# one that is missing, no sound card, and an audio server that never answers, it
# opens with one notice naming the remedy, and plays on once it is closed. A
# variable of the user's own with the probe's old name changes nothing, and a
# probe left waiting on the server dies with the program.
set -euo pipefail
programa=$1
altura=$2
here=$(cd "$(dirname "$0")" && pwd)
# shellcheck source=comu.sh
. "$here/comu.sh"

finestres() { xdotool search --all --onlyvisible --pid "$pid" --name '^Brisola$' 2>/dev/null || true; }

# what, text of the notice: starts the program, closes its one notice, plays, and leaves by "Sortir"
prova() {
  engega "$programa"
  finestra=$(troba_finestra) || falla "$1: no window titled Brisola"
  for _ in $(seq 50); do [ "$(finestres | wc -l)" -ge 2 ] && break; sleep 0.1; done
  [ "$(finestres | wc -l)" -eq 2 ] || falla "$1: $(finestres | wc -l) windows, not the window and one notice"
  [ "$(grep -c "$2" "$feina/sortida.log")" -eq 1 ] || falla "$1: the notice does not say \"$2\" once"
  xdotool windowfocus --sync "$(finestres | grep -v "^$finestra\$")" key Return
  sleep 0.3
  [ "$(finestres | wc -l)" -eq 1 ] || falla "$1: the notice did not close"
  tecla ctrl+m
  sleep 0.3
  passeja 1
  [ "$(xdotool getwindowname "$finestra")" != Brisola ] || falla "$1: the pointer played nothing"
  tecla alt+o
  sleep 0.5
  xdotool key Up Return
  espera_final || falla "$1: the program did not end after Sortir"
  [ "$estat_final" -eq 0 ] || falla "$1: exit status $estat_final"
  echo "$1: one notice, then played on"
}

echo "no soundfont" >"$feina/trencat.sf2"
BRISOLA_SONDA_AUDIO= BRISOLA_SOUNDFONT="$feina/trencat.sf2" prova "no soundfont" "trencat.sf2), i el sintetitzador integrat no sonarà"
rms=$(escolta 0 "$(so_fins_ara)" | awk '{ print $2 }')
awk -v r="$rms" 'BEGIN { exit !(r < 0.0001) }' || falla "no soundfont, yet rms $rms"

BRISOLA_SOUNDFONT="$feina/cap.sf2" prova "a missing soundfont" "cap.sf2 que indica BRISOLA_SOUNDFONT"
rms=$(escolta 0 "$(so_fins_ara)" | awk '{ print $2 }')
awk -v r="$rms" 'BEGIN { exit !(r > 0.002) }' || falla "a missing soundfont: the default did not sound (rms $rms)"

SDL_AUDIODRIVER=no_such_driver prova "no sound card" "No s'ha trobat cap sortida de so"

# An audio server that takes the connection and never answers: the window shows at once all the same.
python3 -c '
import socket, sys
s = socket.socket(socket.AF_UNIX); s.bind(sys.argv[1]); s.listen(8)
clients = []
while True: clients.append(s.accept()[0])
' "$feina/pulse" &
servidor=$!
for _ in $(seq 50); do [ -S "$feina/pulse" ] && break; sleep 0.1; done
SDL_AUDIODRIVER=pulseaudio PULSE_SERVER="unix:$feina/pulse" prova "a silent audio server" "the audio server does not answer"

sondes() { pgrep -f -- "--sonda-de-so $pid\$" || true; }
SDL_AUDIODRIVER=pulseaudio PULSE_SERVER="unix:$feina/pulse" engega "$programa"
for _ in $(seq 50); do [ -n "$(sondes)" ] && break; sleep 0.1; done
[ -n "$(sondes)" ] || falla "a program killed: no probe waiting on the server"
kill -9 "$pid"
wait "$pid" 2>/dev/null || true
sleep 0.5
[ -z "$(sondes)" ] || falla "a program killed: its probe lives on"
echo "a program killed: its probe ended with it"
kill "$servidor"
echo "5 passed, 0 failed"
