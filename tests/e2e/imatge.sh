#!/usr/bin/env bash
# Chooses a background picture with Ctrl+F in the real program's file dialog:
# the surface must show it stretched (four corners and the centre), and still
# show it after a menu has been opened over it and closed.
set -euo pipefail
programa=$(realpath "$1")
here=$(cd "$(dirname "$0")" && pwd)
# shellcheck source=comu.sh
. "$here/comu.sh"
convert=/usr/bin/convert

# A 3 x 3 picture: a colour at each corner and black in the middle.
printf 'P3\n3 3\n255\n255 0 0 255 255 255 0 0 255\n255 255 255 0 0 0 255 255 255\n0 255 255 255 255 255 128 0 255\n' \
  >"$feina/fons.ppm"
"$convert" "$feina/fons.ppm" "$feina/quadre de prova.png"

cd "$feina" # the dialog opens in the working folder: only the name is typed, no folder for the completer to list
engega "$programa"
finestra=$(troba_finestra) || falla "no window titled Brisola"
xdotool key --window "$finestra" ctrl+a # the switch: the surface shows, and nothing ticks
sleep 0.5
xdotool key --window "$finestra" ctrl+f
dialeg=
for _ in $(seq 50); do
  for w in $(xdotool search --all --onlyvisible --pid "$pid" --name '.' 2>/dev/null); do
    [ "$w" != "$finestra" ] && dialeg=$w && break
  done
  [ -n "$dialeg" ] && break
  sleep 0.1
done
[ -n "$dialeg" ] || falla "Ctrl+F opened no dialog"
xdotool windowfocus --sync "$dialeg" 2>/dev/null || true
sleep 0.5 # the dialog takes its first folder listing before it reads keys
# A name not starting with F: the F of Ctrl+F can reach the dialog and swallow a typed f.
xdotool type --delay 10 "quadre de prova.png"
xdotool key Return
sleep 1

read -r alcada < <(xdotool getwindowgeometry --shell "$finestra" | awk -F= '/HEIGHT/{print $2}')
dalt=$((alcada - 378)) # the surface: 789 x 378 below the menu bar (no window manager to maximise it)
mostres() { # the colours at the four corners and the centre of the surface
  xwd -silent -id "$finestra" >"$feina/finestra.xwd"
  local punts=("3,$((dalt + 3))" "785,$((dalt + 3))" "3,$((dalt + 374))" "785,$((dalt + 374))" "394,$((dalt + 189))")
  for p in "${punts[@]}"; do
    "$convert" "$feina/finestra.xwd" -format "%[fx:round(255*p{$p}.r)],%[fx:round(255*p{$p}.g)],%[fx:round(255*p{$p}.b)] " info:
  done
  echo
}
a_prop() { # expected actual: each component within 12
  awk -v e="$1" -v a="$2" 'BEGIN { split(e, x, ","); split(a, y, ",");
    for (i = 1; i <= 3; i++) if (x[i] - y[i] > 12 || y[i] - x[i] > 12) exit 1 }'
}
comprova() { # moment
  local esperats=(255,0,0 0,0,255 0,255,255 128,0,255 0,0,0) reals i
  read -r -a reals < <(mostres)
  for i in 0 1 2 3 4; do
    a_prop "${esperats[$i]}" "${reals[$i]:-none}" || falla "$1: point $i shows ${reals[$i]:-nothing}, expected ${esperats[$i]}"
  done
  echo "$1: ${reals[*]}"
}

comprova "after Ctrl+F"
xdotool windowfocus --sync "$finestra" 2>/dev/null || true
xdotool key --window "$finestra" alt+g
sleep 0.5
xdotool key Escape
sleep 0.5
comprova "after a menu over it"
echo "1 passed, 0 failed"
