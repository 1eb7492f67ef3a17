#!/usr/bin/env bash
# Plays every kind of modality of the real program as a user would, with keys,
# menus and the real pointer, and listens to what it captured: drums under a
# moving pointer, a rhythm's accompaniment at the pace the speed items set, a
# song that holds while the pointer stands still, and "Fer silenci".
set -euo pipefail
programa=$1
altura=$2
here=$(cd "$(dirname "$0")" && pwd)
# shellcheck source=comu.sh
. "$here/comu.sh"
bytes_per_segon=$((48000 * 2 * 4))
segons() { awk -v b="$1" -v s="$bytes_per_segon" 'BEGIN { printf "%.1f", b / s }'; }
rms_de() { escolta "$1" "$2" | awk '{ print $2 }'; }
pols_de() { escolta "$1" "$2" | awk '{ print $6 }'; } # in the file's own time
mes_que() { awk -v a="$1" -v b="$2" 'BEGIN { exit !(a > b) }'; }

engega "$programa"
finestra=$(troba_finestra) || falla "no window titled Brisola"
tecla ctrl+m
sleep 0.5

# Drums: the pointer picks drum sounds while it moves.
tecla ctrl+b
inici=$(so_fins_ara)
passeja 2
rms=$(rms_de "$inici" "$(so_fins_ara)")
mes_que "$rms" 0.0005 || falla "Bateria: no drums under the moving pointer (rms $rms)"
echo "Bateria: rms $rms"

# A rhythm, in movement mode with the pointer still: only the accompaniment plays.
tecla ctrl+o
# "vals": a bar of three drum steps, 1200 ms at the normal speed. Its bar is told from its beat
# by the loudness alone (a kick, then two hats), where a 4/4 bar's two halves sound nearly alike.
tria m r 2
sleep 1.5
inici=$(so_fins_ara)
t0=$(date +%s.%N)
sleep 5
fi_=$(so_fins_ara)
# SDL's disk driver writes faster or slower than a sound card would: what took
# a second of the clock is this many seconds of the file.
ritme_del_disc=$(awk -v b=$((fi_ - inici)) -v t0="$t0" -v t1="$(date +%s.%N)" -v s="$bytes_per_segon" \
  'BEGIN { print b / s / (t1 - t0) }')
normal=$(pols_de "$inici" "$fi_" | awk -v r="$ritme_del_disc" '{ printf "%.0f", $1 / r }')
rms=$(rms_de "$inici" "$fi_")
mes_que "$rms" 0.002 || falla "vals: no accompaniment while the pointer stands still (rms $rms)"
tecla ctrl+d # "Ràpid": twice as fast
sleep 2
inici=$(so_fins_ara)
sleep 5
rapid=$(pols_de "$inici" "$(so_fins_ara)" | awk -v r="$ritme_del_disc" '{ printf "%.0f", $1 / r }')
echo "vals: a bar every $normal ms, after Ràpid every $rapid ms (the disk's own pace: $ritme_del_disc)"
# The bar within 10 % of the clock's time, Ràpid halving it.
awk -v n="$normal" -v r="$rapid" 'BEGIN { exit !(n >= 1080 && n <= 1320 && n / r >= 1.9 && n / r <= 2.1) }' ||
  falla "vals should repeat every 1200 ms, then every 600 ms after Ràpid: $normal, $rapid"
tecla ctrl+n

# A song: it runs while the pointer moves and holds while it stands still. A rhythm's
# accompaniment goes on under a song, so the rhythm is left first for what is heard to be the song's.
tria m n
# seconds: the rms while the pointer moves that long, while it stands (after 3 s), and while it moves again
mou_para_i_torna() {
  local inici mou quiet
  inici=$(so_fins_ara)
  passeja "$1"
  mou=$(rms_de "$inici" "$(so_fins_ara)")
  sleep 3
  inici=$(so_fins_ara)
  sleep 1
  quiet=$(rms_de "$inici" "$(so_fins_ara)")
  inici=$(so_fins_ara)
  passeja "$1"
  echo "$mou $quiet $(rms_de "$inici" "$(so_fins_ara)")"
}
tria m c 1 # "Passeig"
read -r mou quiet torna < <(mou_para_i_torna 3)
echo "Passeig: moving rms $mou, standing rms $quiet, moving again rms $torna"
mes_que "$mou" 0.002 && mes_que "$torna" 0.002 || falla "the song does not sound while the pointer moves"
mes_que 0.0002 "$quiet" || falla "the song still sounds 3 s after the pointer stopped (rms $quiet)"

# A recorded song after it (an MP3 at 44.1 kHz): it too runs, holds, runs again, and "Fer silenci" ends it.
tria m c 5 # "Festa (gravada)"
read -r mou quiet torna < <(mou_para_i_torna 2)
tecla ctrl+i # while it still runs
sleep 0.5
inici=$(so_fins_ara)
sleep 1
silenci=$(rms_de "$inici" "$(so_fins_ara)")
echo "Festa (gravada): moving rms $mou, standing rms $quiet, moving again rms $torna, after Fer silenci rms $silenci"
mes_que "$mou" 0.002 && mes_que "$torna" 0.002 || falla "the recorded song does not sound while the pointer moves"
mes_que 0.0002 "$quiet" || falla "the recorded song still sounds 3 s after the pointer stopped (rms $quiet)"
mes_que 0.0002 "$silenci" || falla "the recorded song still sounds after Fer silenci (rms $silenci)"

# Fer silenci: the note left ringing by the pointer stops; only the reverberation's faint tail is left.
tria m n # "Ritme i notes", still in movement mode: the last note rings while the pointer stands
passeja 1
sleep 0.2
inici=$(so_fins_ara)
sleep 0.3
sona=$(rms_de "$inici" "$(so_fins_ara)")
tecla ctrl+i
sleep 0.3
inici=$(so_fins_ara)
sleep 0.5
silenci=$(rms_de "$inici" "$(so_fins_ara)")
echo "Fer silenci: ringing rms $sona, then rms $silenci"
mes_que "$sona" 0.002 || falla "no note left ringing before Fer silenci (rms $sona)"
mes_que "$(awk -v s="$sona" 'BEGIN { print s / 20 }')" "$silenci" || falla "still sounding after Fer silenci (rms $silenci)"
echo "1 passed, 0 failed"
