#!/usr/bin/env bash
# The instrument played with the head, nothing worn: a person of ours moving their
# head in slow arcs of about ±40 px stands in for a webcam, the tracker follows the
# tip of their nose, and their reach (measured round that small range) spreads it
# over the whole surface: "Ritme i notes" sounds, the pointer goes right across,
# and it moves as in a mirror (the head to the camera's left, the pointer to the right).
set -euo pipefail
programa=$1
ajudant=$2
altura=$3
here=$(cd "$(dirname "$0")" && pwd)
# shellcheck source=comu.sh
. "$here/comu.sh"

cp -r "$(dirname "$programa")" "$feina/bin"
programa=$feina/bin/brisola
export TINTSEER_CONFIG="$feina/tintseer.conf"
# 20 s of video: three sweeps.
read -r x y x0 x1 y0 y1 < <("$ajudant" cara "$feina/cara.avi" arcs 600)
"$ajudant" punt "$feina/cara.avi" "$x" "$y" || falla "no point could be picked at the nose's tip ($x, $y)"
# The person's reach: the middle 96 % of the places the nose sweeps, as a measure would find it.
mkdir -p "$feina/bin/persones"
printf '[persona]\nacces=1\nmodalitat=0\nabast_x0=%d\nabast_x1=%d\nabast_y0=%d\nabast_y1=%d\n' "$x0" "$x1" "$y0" "$y1" \
  >"$feina/bin/persones/Cap.ini"

engega "$programa" --persona Cap
finestra=$(troba_finestra .) || falla "no window"
# The title begins with the camera's x that MUS was given, once the head is seen.
titol_x() { xdotool getwindowname "$finestra" | awk '$1 ~ /^[0-9]+$/ { print $1 }'; }
for _ in $(seq 100); do [ -n "$(titol_x)" ] && break; sleep 0.1; done
[ -n "$(titol_x)" ] || falla "the head was never followed"
inici=$(so_fins_ara)
fi_video=$((SECONDS + 20)) # the video began before the head was first seen: it has ended by then
dalt=$(dalt_superficie)
# The pointer's place on the surface beside the camera's x read just before and just after the picture
# was taken, on either side of the camera, until the mirror has been seen on both sides and the head
# has reached across, while the video plays.
menor=640 major=0 esquerra=0 dreta=0
while [ "$SECONDS" -lt "$fi_video" ]; do
  abans=$(titol_x)
  xwd -silent -id "$finestra" >"$feina/finestra.xwd"
  despres=$(titol_x)
  for lloc in $abans $despres; do
    [ "$lloc" -lt "$menor" ] && menor=$lloc
    [ "$lloc" -gt "$major" ] && major=$lloc
  done
  [ -n "$abans" ] && [ -n "$despres" ] || continue
  if { [ "$abans" -lt 200 ] && [ "$despres" -lt 200 ]; } || { [ "$abans" -gt 440 ] && [ "$despres" -gt 440 ]; }; then
    caixa=$(/usr/bin/convert "$feina/finestra.xwd" -crop "789x378+0+$dalt" +repage -fuzz 12% -fill white \
      +opaque black -format %@ info: 2>/dev/null) # the cursor: the only black on the surface
    cursor=$(echo "$caixa" | awk -F'[x+]' '$1 > 0 { print $3 + $1 / 2 }')
    [ -n "$cursor" ] || continue # drawn from its corner, at the surface's right edge it lies beyond it
    echo "camera x $abans to $despres, pointer at $cursor of 789"
    awk -v a="$abans" -v d="$despres" -v c="$cursor" 'BEGIN {
      menys = 1 - (a > d ? a : d) / 640; mes = 1 - (a < d ? a : d) / 640
      exit !(c / 789 > menys - 0.1 && c / 789 < mes + 0.1) }' ||
      falla "the pointer is not where a mirror puts it (camera x $abans to $despres, pointer at $cursor of 789)"
    if [ "$abans" -lt 200 ]; then esquerra=$((esquerra + 1)); else dreta=$((dreta + 1)); fi
  fi
  [ "$esquerra" -ge 1 ] && [ "$dreta" -ge 1 ] && [ "$menor" -lt 120 ] && [ "$major" -gt 520 ] && break
done
rms=$(escolta "$inici" "$(so_fins_ara)" | awk '{ print $2 }')
echo "head: the pointer's x from $menor to $major of 640, rms $rms"
[ "$esquerra" -ge 1 ] && [ "$dreta" -ge 1 ] ||
  falla "the mirror was not seen on both sides ($esquerra on the camera's left, $dreta on its right)"
awk -v r="$rms" 'BEGIN { exit !(r > 0.002) }' || falla "nothing sounded with the head (rms $rms)"
[ "$menor" -lt 120 ] && [ "$major" -gt 520 ] ||
  falla "±40 px of head movement did not reach across the surface (x from $menor to $major)"
echo "1 passed, 0 failed"
