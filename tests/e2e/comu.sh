# Shared steps of the end-to-end tests: a display, the program with its sound
# written to a file, its window, and its end.
falla() { echo "FAIL: $*" >&2; exit 1; }

if [ -z "${DISPLAY:-}" ]; then
  exec xvfb-run -a -s "-screen 0 1280x1024x24" "$0" "$@"
fi

feina=$(mktemp -d)
export SDL_AUDIODRIVER=disk SDL_DISKAUDIOFILE="$feina/so.raw"
unset QT_QPA_PLATFORM
pid=

engega() {
  "$1" >"$feina/sortida.log" 2>&1 &
  pid=$!
  trap 'estat=$?; { kill $pid && wait $pid; } 2>/dev/null || true; rm -rf "$feina"; exit $estat' EXIT
}

troba_finestra() {
  local w
  for _ in $(seq 100); do
    w=$(xdotool search --all --onlyvisible --pid "$pid" --name '^Brisola$' 2>/dev/null | head -1 || true)
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
