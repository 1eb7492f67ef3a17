#!/usr/bin/env bash
# Runs a command beside a PipeWire server of its own (with its session manager
# and one null sink, "brisola_prova"), in a private runtime folder and D-Bus
# session: nothing of the desktop's, and nothing of another run's, is touched.
# PW_SERVIDOR_PIDS in the command's environment names the file of the server's
# process ids, so a test can kill the server and start it again (torna_servidor).
# PW_ORDRES is a pipe through which a test has lines of shell run here, with these
# functions (a test under ThreadSanitizer starts no process); each line's output
# goes to PW_SORTIDA, and then its exit status to PW_RESPOSTA.
set -euo pipefail
if [ -z "${DBUS_SESSION_BUS_ADDRESS:-}" ] || [ -z "${PW_DINS_SESSIO:-}" ]; then
  PW_DINS_SESSIO=1 exec dbus-run-session -- "$0" "$@"
fi
for p in pipewire wireplumber pw-dump; do
  command -v "$p" >/dev/null || { echo "no $p here: skipped"; exit 77; }
done
lloc=$(mktemp -d)
export XDG_RUNTIME_DIR=$lloc/run XDG_CONFIG_HOME=$lloc/config XDG_STATE_HOME=$lloc/state
export PIPEWIRE_RUNTIME_DIR=$XDG_RUNTIME_DIR PW_SERVIDOR_PIDS=$lloc/pids
mkdir -p "$XDG_RUNTIME_DIR" "$XDG_CONFIG_HOME/pipewire/pipewire.conf.d" "$XDG_STATE_HOME"
chmod 700 "$XDG_RUNTIME_DIR"
cat >"$XDG_CONFIG_HOME/pipewire/pipewire.conf.d/prova.conf" <<'CONF'
context.objects = [
  { factory = adapter
    args = { factory.name = support.null-audio-sink node.name = brisola_prova
             media.class = Audio/Sink audio.position = [ FL FR ] audio.rate = 48000
             priority.session = 2000 } }
]
CONF

torna_servidor() {
  rm -f "$XDG_RUNTIME_DIR/pipewire-0" # a server killed outright leaves its socket behind
  pipewire >"$lloc/pipewire.log" 2>&1 &
  echo $! >"$PW_SERVIDOR_PIDS"
  for _ in $(seq 50); do [ -S "$XDG_RUNTIME_DIR/pipewire-0" ] && break; sleep 0.1; done
  wireplumber >"$lloc/wireplumber.log" 2>&1 &
  echo $! >>"$PW_SERVIDOR_PIDS"
  for _ in $(seq 100); do pw-dump 2>/dev/null | grep -q '"default.audio.sink"' && break; sleep 0.1; done
}
atura_servidor() {
  [ -f "$PW_SERVIDOR_PIDS" ] || return 0
  local p
  while read -r p; do kill "$p" 2>/dev/null && kill -CONT "$p" 2>/dev/null || true; done <"$PW_SERVIDOR_PIDS"
  while read -r p; do while kill -0 "$p" 2>/dev/null; do sleep 0.05; done; done <"$PW_SERVIDOR_PIDS"
  rm -f "$PW_SERVIDOR_PIDS"
}
export -f torna_servidor atura_servidor
export lloc
# One line in, its output and then its exit status out, within 30 s. The pipe of
# lines stays open both ways here, so a line is never lost between two readers.
executa_ordres() {
  local ordre estat
  exec 3<>"$PW_ORDRES"
  while IFS= read -r ordre <&3; do
    estat=0
    timeout 30 bash -c "$ordre" >"$PW_SORTIDA" 2>>"$lloc/ordres.log" </dev/null || estat=$?
    echo "$estat" >"$PW_RESPOSTA.nova"
    mv "$PW_RESPOSTA.nova" "$PW_RESPOSTA"
  done
}
export PW_ORDRES=$lloc/ordres PW_RESPOSTA=$lloc/resposta PW_SORTIDA=$lloc/sortida
mkfifo "$PW_ORDRES"
executa_ordres &
ordres=$!
trap 'kill "$ordres"; atura_servidor; rm -rf "$lloc"' EXIT
torna_servidor
"$@"
