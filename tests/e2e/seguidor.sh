#!/usr/bin/env bash
# The instrument played with the colour tracker, on a video of a green disc at
# the camera's left standing in for a webcam: the tracker's items are offered,
# "Ritme i notes" sounds, and the library reports the camera's own place (MUS
# then draws it as in a mirror, at the person's right).
set -euo pipefail
programa=$1
ajudant=$2
altura=$3
here=$(cd "$(dirname "$0")" && pwd)
# shellcheck source=comu.sh
. "$here/comu.sh"

"$ajudant" escriu "$feina/disc.avi" 100 240
export TINTSEER_CONFIG="$feina/tintseer.conf"
printf 'color=60,204,200\ntolerancia=12\nfont=%s\n' "$feina/disc.avi" >"$TINTSEER_CONFIG" # the disc's green

engega "$programa"
finestra=$(troba_finestra) || falla "no window titled Brisola"
sleep 3 # the start-up probe starts and stops the tracker once
inici=$(so_fins_ara)
tecla ctrl+w
sleep 2
titol=$(xdotool getwindowname "$finestra")
rms=$(escolta "$inici" "$(so_fins_ara)" | awk '{ print $2 }')
echo "tracker: title '$titol', rms $rms"
[ "$titol" != Brisola ] || falla "the tracker did not move the pointer (its item offered?)"
awk -v x="$(echo "$titol" | awk '{ print $1 }')" 'BEGIN { exit !(x >= 92 && x <= 108) }' ||
  falla "the pointer is not where the camera sees the disc (x 100): '$titol'"
awk -v r="$rms" 'BEGIN { exit !(r > 0.002) }' || falla "nothing sounded with the tracker (rms $rms)"
echo "1 passed, 0 failed"
