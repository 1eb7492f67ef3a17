#!/usr/bin/env bash
# Starts the real program on a display, finds its window and leaves through "Sortir".
set -euo pipefail
programa=$1
here=$(cd "$(dirname "$0")" && pwd)
# shellcheck source=comu.sh
. "$here/comu.sh"

engega "$programa"
finestra=$(troba_finestra) || falla "no window titled Brisola"
echo "window $finestra shown"

# Alt+O opens "&Opcions"; Up wraps to its last entry, "Sortir".
xdotool key --window "$finestra" alt+o
sleep 0.5
xdotool key Up Return
espera_final || falla "the program did not end after Sortir"
[ "$estat_final" -eq 0 ] || falla "exit status $estat_final"
echo "1 passed, 0 failed"
