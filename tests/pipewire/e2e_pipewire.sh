#!/usr/bin/env bash
# The real program on a PipeWire server of the test's own (run through
# amb_servidor.sh), played with the switch: its own stream, named and with its
# role, sounds in the sink's monitor; after a rest the stream is inactive and the
# next press is heard; after the server is killed and started again it sounds
# with no restart; and with BRISOLA_AUDIO=sdl it still sounds, through SDL.
set -euo pipefail
programa=$1
altura=$2
here=$(cd "$(dirname "$0")" && pwd)
# shellcheck source=../e2e/comu.sh
. "$here/../e2e/comu.sh"
unset SDL_AUDIODRIVER SDL_DISKAUDIOFILE

# key: that property of the program's node (or its "state"), empty when there is no such node
node() {
  pw-dump 2>/dev/null | python3 -c '
import json, sys
for o in json.load(sys.stdin):
    info = o.get("info") or {}
    props = info.get("props") or {}
    if o.get("type") == "PipeWire:Interface:Node" and props.get("node.name") == "brisola":
        print(info.get("state") if sys.argv[1] == "state" else props.get(sys.argv[1], ""))
        break' "$1"
}
# key value seconds: waits until node key shows value
espera_node() {
  for _ in $(seq $(($3 * 10))); do [ "$(node "$1")" = "$2" ] && return 0; sleep 0.1; done
  return 1
}
# seconds: the switch held that long, as the sink's monitor heard it; prints its rms
premsa_sentida() {
  pw-record --target brisola_prova -P '{ stream.capture.sink = true }' --rate 48000 --channels 2 --format f32 \
    "$feina/monitor.wav" &
  local gravant=$!
  sleep 0.3
  xdotool keydown space; sleep "$1"; xdotool keyup space
  sleep 0.3
  kill -INT "$gravant"; wait "$gravant" || true
  sox "$feina/monitor.wav" -t raw -e floating-point -b 32 "$feina/monitor.raw"
  read -r _ rms _ < <("$altura" "$feina/monitor.raw" 0 "$(stat -c %s "$feina/monitor.raw")")
  echo "$rms"
}
sentit() { awk -v r="$1" 'BEGIN { exit !(r > 0.001) }'; }

engega "$programa"
finestra=$(troba_finestra) || falla "no window titled Brisola"
espera_node application.name Brisola 10 || falla "no stream of the program's own on the server"
[ "$(node media.role)" = Music ] || falla "the stream's role is '$(node media.role)', not Music"
xdotool key --window "$finestra" ctrl+a # the switch
xdotool mousemove --window "$finestra" 400 200
xdotool windowfocus --sync "$finestra"
rms=$(premsa_sentida 1.5)
echo "native stream: rms $rms"
sentit "$rms" || falla "nothing heard through the native stream (rms $rms)"

# Five seconds after the last voice has died away
espera_node state idle 15 || falla "after a rest the stream is $(node state), not idle"
echo "at rest: node $(node state)"
rms=$(premsa_sentida 1)
echo "after the rest: rms $rms"
sentit "$rms" || falla "the first press after a rest is not heard (rms $rms)"

atura_servidor
sleep 1
torna_servidor
espera_node application.name Brisola 20 || falla "no stream once the server is back"
# A switch player reads the notices of the sound lost and back on a tile of the board: a press closes it.
for _ in $(seq 150); do grep -q "El so ha tornat" "$feina/sortida.log" && break; sleep 0.1; done
grep -q "El so ha tornat" "$feina/sortida.log" || falla "no notice that the sound is back"
sleep 0.3
xdotool key space
sleep 0.5
rms=$(premsa_sentida 1.5)
echo "server started again: rms $rms"
sentit "$rms" || falla "nothing heard once the server is back (rms $rms)"
kill "$pid"
wait "$pid" || true

# SDL reaches the server through its PulseAudio service.
pipewire-pulse >"$feina/pulse.log" 2>&1 &
echo $! >>"$PW_SERVIDOR_PIDS" # ends with the server
for _ in $(seq 50); do [ -S "$XDG_RUNTIME_DIR/pulse/native" ] && break; sleep 0.1; done
BRISOLA_AUDIO=sdl engega "$programa"
finestra=$(troba_finestra) || falla "no window with BRISOLA_AUDIO=sdl"
sleep 2
[ "$(node application.name)" != Brisola ] || falla "BRISOLA_AUDIO=sdl still opened the native stream"
xdotool key --window "$finestra" ctrl+a
xdotool mousemove --window "$finestra" 400 200
xdotool windowfocus --sync "$finestra"
rms=$(premsa_sentida 1.5)
echo "SDL: rms $rms"
sentit "$rms" || falla "nothing heard through SDL (rms $rms)"
echo "1 passed, 0 failed"
