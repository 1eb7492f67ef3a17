#!/usr/bin/env bash
# The sound on a real audio server of the test's own (PipeWire and its PulseAudio
# service, into a sink that plays to nowhere): killed and replaced by a server that
# never answers, "Sortir" still ends the program within 2 s; killed and started
# again, the sound comes back with no restart; and the program's own PipeWire
# stream, whose server stops dead, is given up and "Sortir" still ends it in time.
set -euo pipefail
programa=$1
here=$(cd "$(dirname "$0")" && pwd)
# shellcheck source=comu.sh
. "$here/comu.sh"

# Run inside tests/pipewire/amb_servidor.sh, which starts PipeWire and its sink; the
# PulseAudio service the program talks to is this test's own, killed and started again.
export SDL_AUDIODRIVER=pulseaudio
unset SDL_DISKAUDIOFILE PULSE_SERVER
socol=$XDG_RUNTIME_DIR/pulse/native
servidors=()
atura_servidors() { for s in "${servidors[@]}"; do kill "$s" 2>/dev/null || true; done; }
trap 'atura_servidors; rm -rf "$feina"' EXIT

pulse=
engega_pulse() {
  rm -f "$socol"
  pipewire-pulse >>"$feina/pipewire.log" 2>&1 &
  pulse=$!
  servidors+=("$pulse")
  for _ in $(seq 50); do [ -S "$socol" ] && return 0; sleep 0.1; done
  falla "the audio server did not start"
}

# The notices open: every window of the program's but the main one (whose title shows what is played).
avisos() { xdotool search --all --onlyvisible --pid "$pid" 2>/dev/null | grep -v "^$finestra\$" || true; }

# text: waits (15 s at most) for a notice that says it, and closes it
tanca_avis() {
  for _ in $(seq 150); do grep -q "$1" "$feina/sortida.log" && [ -n "$(avisos)" ] && break; sleep 0.1; done
  [ -n "$(avisos)" ] || falla "no notice saying \"$1\""
  xdotool windowfocus --sync "$(avisos | head -1)" key Return
  sleep 0.3
}

# The sink's level while the pointer plays for a second.
nivell_sentit() {
  pw-record --target brisola_prova -P '{ stream.capture.sink = true }' "$feina/sentit.wav" 2>/dev/null &
  local gravadora=$!
  sleep 0.3
  passeja 1
  kill "$gravadora"
  wait "$gravadora" 2>/dev/null || true
  sox "$feina/sentit.wav" -n stat 2>&1 | awk '/RMS +amplitude/ { print $3 }'
}

sona() { awk -v r="$(nivell_sentit)" 'BEGIN { exit !(r > 0.002) }'; }

# what: the program starts and plays on the server
comenca() {
  engega "$programa"
  trap 'estat=$?; { kill $pid && wait $pid; } 2>/dev/null || true; atura_servidors; rm -rf "$feina"; exit $estat' EXIT
  finestra=$(troba_finestra) || falla "$1: no window titled Brisola"
  sleep 1
  tecla ctrl+m
  sona || falla "$1: no sound on the audio server"
}

surt_en() {
  tecla alt+o
  sleep 0.5
  local abans
  abans=$(date +%s%N)
  xdotool key Up Return
  for _ in $(seq 50); do kill -0 "$pid" 2>/dev/null || break; sleep 0.05; done
  ! kill -0 "$pid" 2>/dev/null || falla "$1: still running 2.5 s after Sortir"
  echo "$1: ended $(( ($(date +%s%N) - abans) / 1000000 )) ms after Sortir"
}

# A server that takes the connection and never answers, put in the real one's place as it dies.
python3 -c '
import socket, sys
s = socket.socket(socket.AF_UNIX); s.bind(sys.argv[1]); s.listen(8)
clients = []
while True: clients.append(s.accept()[0])
' "$feina/muda" &
servidors+=($!)
sondes() { pgrep -f -- "--sonda-de-so $pid\$" || true; }

engega_pulse
comenca "a server that hangs"
for _ in $(seq 50); do [ -S "$feina/muda" ] && break; sleep 0.1; done
kill -9 "$pulse"
wait "$pulse" 2>/dev/null || true
mv -f "$feina/muda" "$socol"
tanca_avis "No s'ha trobat cap sortida de so"
for _ in $(seq 50); do [ -n "$(sondes)" ] && break; sleep 0.1; done
[ -n "$(sondes)" ] || falla "a server that hangs: no probe waiting on it"
surt_en "a server that hangs"

engega_pulse
comenca "a server that comes back"
kill -9 "$pulse"
wait "$pulse" 2>/dev/null || true
tanca_avis "No s'ha trobat cap sortida de so"
engega_pulse
tanca_avis "El so ha tornat"
sona || falla "a server that comes back: no sound after it came back"
echo "a server that comes back: sound again with no restart"
surt_en "a server that comes back"

# The program's own stream on PipeWire, whose server stops dead while it plays: no
# error ever comes, only no more quanta; each later opening then waits on it.
pw_servidor() { while read -r p; do kill "-$1" "$p"; done <"$PW_SERVIDOR_PIDS"; }
unset SDL_AUDIODRIVER
engega "$programa"
trap 'estat=$?; pw_servidor CONT; { kill $pid && wait $pid; } 2>/dev/null || true; atura_servidors; rm -rf "$feina"; exit $estat' EXIT
finestra=$(troba_finestra) || falla "a native stream that freezes: no window titled Brisola"
for _ in $(seq 100); do pw-dump 2>/dev/null | grep -q '"node.name": "brisola"' && break; sleep 0.1; done
pw_servidor STOP
tanca_avis "No s'ha trobat cap sortida de so"
surt_en "a native stream that freezes"
pw_servidor CONT
echo "3 passed, 0 failed"
