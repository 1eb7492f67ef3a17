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
read -r x y < <("$ajudant" cara "$feina/cara.avi" arcs 900)
"$ajudant" punt "$feina/cara.avi" "$x" "$y" || falla "no point could be picked at the nose's tip ($x, $y)"
# The reach round the arcs (320 ± 40, 230 ± 24 of 640 × 480), in thousandths of the camera's picture.
mkdir -p "$feina/bin/persones"
printf '[persona]\nacces=1\nmodalitat=0\nabast_x0=437\nabast_x1=563\nabast_y0=429\nabast_y1=529\n' \
  >"$feina/bin/persones/Cap.ini"

engega "$programa" --persona Cap
finestra=$(troba_finestra .) || falla "no window"
sleep 2
inici=$(so_fins_ara)
xs=()
for _ in $(seq 60); do
  xs+=("$(xdotool getwindowname "$finestra" | awk '{ print $1 }')")
  sleep 0.1
done
rms=$(escolta "$inici" "$(so_fins_ara)" | awk '{ print $2 }')
# The pointer's place on the surface beside the camera's x the title gives, at moments the head is still enough.
dalt=$(dalt_superficie)
miralls=0
for _ in $(seq 30); do
  abans=$(xdotool getwindowname "$finestra" | awk '{ print $1 }')
  xwd -silent -id "$finestra" >"$feina/finestra.xwd"
  despres=$(xdotool getwindowname "$finestra" | awk '{ print $1 }')
  caixa=$(/usr/bin/convert "$feina/finestra.xwd" -crop "789x378+0+$dalt" +repage -fuzz 12% -fill white +opaque black \
    -format %@ info:) # the cursor: the only black on the surface
  awk -v a="$abans" -v d="$despres" 'BEGIN { exit !((a - d) ^ 2 < 400 && (a < 200 || a > 440)) }' || continue
  cursor=$(echo "$caixa" | awk -F'[x+]' '{ print $3 + $1 / 2 }')
  echo "camera x $abans, pointer at $cursor of 789"
  awk -v a="$abans" -v c="$cursor" 'BEGIN { exit !((c / 789 - (1 - a / 640)) ^ 2 < 0.01) }' ||
    falla "the pointer is not where a mirror puts it (camera x $abans, pointer at $cursor of 789)"
  miralls=$((miralls + 1))
  [ "$miralls" -ge 3 ] && break
done
[ "$miralls" -ge 3 ] || falla "the head was never seen still enough at a side to check the mirror"
read -r menor major < <(printf '%s\n' "${xs[@]}" | grep -E '^[0-9]+$' | sort -n | sed -n '1p;$p' | paste -sd' ')
echo "head: the pointer's x from $menor to $major of 640, rms $rms"
awk -v r="$rms" 'BEGIN { exit !(r > 0.002) }' || falla "nothing sounded with the head (rms $rms)"
awk -v a="${menor:-999}" -v b="${major:-0}" 'BEGIN { exit !(a < 120 && b > 520) }' ||
  falla "±40 px of head movement did not reach across the surface (x from ${menor:-none} to ${major:-none})"
echo "1 passed, 0 failed"
