# Shared steps of the end-to-end tests: a display, the program with its sound
# written to a file, its window, and its end.
falla() {
  echo "FAIL: $*" >&2
  [ -s "${feina:-}/sortida.log" ] && sed "s/^/  program: /" "$feina/sortida.log" >&2
  exit 1
}

# -noreset: a server that resets when its last client leaves refuses the next one for a moment.
if [ -z "${DISPLAY:-}" ]; then
  exec xvfb-run -a -s "-screen 0 1280x1024x24 -noreset" "$0" "$@"
fi

feina=$(mktemp -d)
export SDL_AUDIODRIVER=disk SDL_DISKAUDIOFILE="$feina/so.raw"
unset QT_QPA_PLATFORM
pid=

engega() {
  "$@" >"$feina/sortida.log" 2>&1 &
  pid=$!
  trap 'estat=$?; { kill $pid && wait $pid; } 2>/dev/null || true; rm -rf "$feina"; exit $estat' EXIT
}

# [title]: the program's window (titled "Brisola" unless said otherwise), focused
troba_finestra() {
  local w
  for _ in $(seq 100); do
    w=$(xdotool search --all --onlyvisible --pid "$pid" --name "${1:-^Brisola\$}" 2>/dev/null | head -1 || true)
    if [ -n "$w" ]; then
      xdotool windowfocus --sync "$w" 2>/dev/null || true
      echo "$w"
      return 0
    fi
    sleep 0.1
  done
  return 1
}

espera_final() {
  for _ in $(seq 100); do
    if ! kill -0 "$pid" 2>/dev/null; then
      wait "$pid" && estat_final=0 || estat_final=$?
      return 0
    fi
    sleep 0.1
  done
  return 1
}

# Playing as a user does: the pointer and the menus, with the sound captured.
# The window can show before the output opens (it opens behind a probe): no file yet is no sound yet.
so_fins_ara() { stat -c %s "$SDL_DISKAUDIOFILE" 2>/dev/null || echo 0; }

# bytes from to: "rms <level> hz <pitch> ms <beat period>" of that stretch of the capture
escolta() { "$altura" "$SDL_DISKAUDIOFILE" "$1" "$2"; }

# The surface lies below the menu bar; without a window manager the window keeps its 789 x 396.
dalt_superficie() { xdotool getwindowgeometry --shell "$finestra" | awk -F= '/HEIGHT/{print $2 - 378}'; }

# seconds: moves the pointer to and fro over the surface, as a hand playing would
passeja() {
  local dalt passos x
  dalt=$(dalt_superficie)
  passos=$(awk -v s="$1" 'BEGIN { print int(s * 20) }')
  for i in $(seq "$passos"); do
    x=$((100 + (i * 37) % 600))
    xdotool mousemove --window "$finestra" "$x" $((dalt + 60 + (i * 23) % 250))
    sleep 0.05
  done
}

# keys...: typed into the window as from the keyboard (a closed menu can leave it without focus)
tecla() {
  xdotool windowfocus --sync "$finestra" 2>/dev/null || true
  xdotool key "$@"
}

# The program's visible windows: the main one, and a menu or submenu each while they are open.
finestres_visibles() { xdotool search --all --onlyvisible --pid "$pid" 2>/dev/null | wc -l; }

# count: waits (3 s at most) until the program shows that many windows, as a menu opening does
espera_finestres() {
  for _ in $(seq 30); do [ "$(finestres_visibles)" -ge "$1" ] && return 0; sleep 0.1; done
}

# menu letter, item letter[, position in its submenu]: chooses from the menu bar by keyboard,
# each key once the menu it is for has opened
tria() {
  local abans
  abans=$(finestres_visibles)
  tecla "alt+$1"
  espera_finestres $((abans + 1))
  sleep 0.1
  xdotool key "$2"
  if [ -n "${3:-}" ]; then
    espera_finestres $((abans + 2))
    sleep 0.1
    [ "$3" -gt 1 ] && xdotool key --repeat $(($3 - 1)) --delay 50 Down
    xdotool key Return
  fi
  sleep 0.3
}
