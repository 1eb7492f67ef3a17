#!/usr/bin/env bash
# A recorded song chosen after a MIDI song still holds: a catalogue of just two
# songs (a minute of MIDI, an MP3 at 44.1 kHz with an ID3 tag, both with blanks
# and accents in their names, the catalogue in Windows-1252) and no rhythm.
# The mouse plays the MIDI song, moving and standing; the MP3 is chosen from
# the menu while the MIDI song still runs; it plays while the pointer moves
# and holds, silent, once it has stood still for a moment.
set -euo pipefail
programa=$1
altura=$2
cancons=$3
here=$(cd "$(dirname "$0")" && pwd)
# shellcheck source=comu.sh
. "$here/comu.sh"
segon=384000 # bytes of a second's capture: 48 kHz stereo float
rms_de() { escolta "$1" "$2" | awk '{ print $2 }'; }
mes_que() { awk -v a="$1" -v b="$2" 'BEGIN { exit !(a > b) }'; }

cp -r "$(dirname "$programa")" "$feina/bin"
programa=$feina/bin/brisola
"$cancons" "$feina/bin" || falla "the songs could not be made"
sed -n '/^\[instrumentos\]/,$p' "$feina/bin/brisola.ini" >"$feina/instruments"
{
  {
    printf '[inici]\r\nidioma=catala\r\n[canciones]\r\nnum=2\r\n'
    printf '1nombre=Cançó llarga\r\n1midi=Cançó llarga.mid\r\n2nombre=Festa màgica\r\n2midi=Festa màgica.mp3\r\n'
    printf '[ritmos]\r\nnum=0\r\n'
  } | iconv -f UTF-8 -t WINDOWS-1252
  cat "$feina/instruments" # already in Windows-1252
} >"$feina/bin/brisola.ini"

engega "$programa"
finestra=$(troba_finestra) || falla "no window titled Brisola"
tecla ctrl+m
sleep 0.5
tria m c 1 # the MIDI song
passeja 3
sleep 3
passeja 3
tria m c 2 # the MP3, while the MIDI song still runs
inici=$(so_fins_ara)
passeja 3
mou=$(rms_de "$inici" "$(so_fins_ara)")
sleep 1.5 # a still pointer is looked for once a second
inici=$(so_fins_ara)
sleep 1
quiet=$(rms_de "$inici" "$(so_fins_ara)")
echo "the MP3 after the MIDI song: moving rms $mou, standing rms $quiet"
mes_que "$mou" 0.002 || falla "the MP3 does not sound while the pointer moves (rms $mou)"
mes_que 0.0002 "$quiet" || falla "the MP3 still sounds 1.5 s after the pointer stopped (rms $quiet)"
echo "1 passed, 0 failed"
