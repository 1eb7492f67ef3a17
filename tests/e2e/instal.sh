#!/usr/bin/env bash
# Installs into a temporary prefix, starts the installed program with a fresh
# home, changes the language from the menu and plays a song of the installed
# catalogue: the user's brisola.ini takes the change, the installed files stay
# as they were, and the desktop's own files pass their validators.
set -euo pipefail
construccio=$(realpath "$1")
altura=$(realpath "$2")
here=$(cd "$(dirname "$0")" && pwd)
# shellcheck source=comu.sh
. "$here/comu.sh"

DESTDIR="$feina/arrel" cmake --install "$construccio" >/dev/null
prefix=$(find "$feina/arrel" -path '*/bin/brisola' -printf '%h\n' | head -1)/..
dades="$prefix/share/brisola"
desktop-file-validate "$prefix/share/applications/org.example.Brisola.desktop" || falla "the desktop entry does not validate"
appstreamcli validate --no-net "$prefix/share/metainfo/org.example.Brisola.metainfo.xml" >/dev/null ||
  falla "the AppStream metainfo does not validate"
abans=$(cd "$dades" && sha256sum ./* | sha256sum)

export HOME="$feina/casa"
unset XDG_CONFIG_HOME
mkdir -p "$HOME"
engega "$prefix/bin/brisola"
finestra=$(troba_finestra) || falla "the installed program showed no window"
ini="$HOME/.config/brisola/brisola.ini"
[ -f "$ini" ] || falla "no brisola.ini of the user's after the first start"

# Opcions > Idioma > Español
tecla alt+o
sleep 0.3
xdotool key Right Down Return
sleep 0.5
grep -a -q "^idioma=espa" "$ini" || falla "the language did not reach the user's brisola.ini"

# A song of the installed catalogue sounds while the pointer moves.
tecla ctrl+m
sleep 0.3
tria m c 1
inici=$(so_fins_ara)
passeja 2
rms=$(escolta "$inici" "$(so_fins_ara)" | awk '{ print $2 }')
awk -v r="$rms" 'BEGIN { exit !(r > 0.002) }' || falla "the installed song was not heard (rms $rms)"

[ "$(cd "$dades" && sha256sum ./* | sha256sum)" = "$abans" ] || falla "the installed files changed"
echo "language in $ini; song rms $rms; installed files unchanged"
echo "1 passed, 0 failed"
