#!/usr/bin/env bash
# The real program on a virtual screen (Xvfb), driven from the keyboard like a composer:
# a new working folder gets its defaults, "Neu" computes and writes a new melody; then the play
# reads the hand-edited melody file and asks about its faulty line; "Nein" ends the program,
# "Ja" goes on. Then `bild` draws the melody without any display.
#   real_window_test.sh PATH/TO/tonfex
set -euo pipefail
tonfex="$(realpath "$1")"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
export TONFEX_ARBEIT="$work/Arbeit" TONFEX_TONFEX="$tonfex"

xvfb-run -a -s "-screen 0 1280x800x24" bash -euo pipefail -c '
fail() { echo "FEHLER: $*" >&2; exit 1; }
# Starts the window and waits until it shows its caption (Form_Load has run).
open_window() {
  "$TONFEX_TONFEX" >"$TONFEX_ARBEIT.log" 2>&1 &
  pid=$!
  timeout 60 xdotool search --sync --onlyvisible --name "Tonfex 1.31 vom 29.08.2014" \
    >/dev/null || fail "das Fenster erscheint nicht"
  window=$(xdotool search --onlyvisible --name "Tonfex 1.31 vom 29.08.2014" | head -1)
}
# Gives the window the keyboard and presses the focused button "Neu".
press_neu() {
  xdotool windowfocus --sync "$window"
  xdotool key space
}
wait_for_question() {
  timeout 60 xdotool search --sync --onlyvisible --name "^FEHLER$" >/dev/null ||
    fail "die Frage zur fehlerhaften Melodiezeile erscheint nicht"
}

open_window
for f in Tonfex.ini Tonfex-DTC.txt Tonfex-Proginfo.txt; do
  [ -f "$TONFEX_ARBEIT/$f" ] || fail "$f wurde im neuen Arbeitsordner nicht angelegt"
done
# "Neu" in the new working folder: Regel 01 in MIDI mode computes five tones and writes them.
sed -i -e "s/^SOUND     3 /SOUND     1 /" -e "s/^ANZAHL    1000 /ANZAHL    5 /" \
  -e "s/^VERZOGERUNG 10 /VERZOGERUNG 0 /" -e "s/^TIEFTON   1 /TIEFTON   60 /" \
  -e "s/^HOCHTON   1000 /HOCHTON   72 /" -e "s/^STARTTON  1 /STARTTON  60 /" \
  -e "s/^INTERVALL   1000 /INTERVALL   3 /" "$TONFEX_ARBEIT/Tonfex.ini"
[ -f "$TONFEX_ARBEIT/Tonfex.txt" ] && fail "Tonfex.txt gibt es schon vor Neu"
press_neu
timeout 60 bash -c "until [ -s \"\$1\" ]; do sleep 0.2; done" _ "$TONFEX_ARBEIT/Tonfex.txt" ||
  fail "Neu schreibt keine Melodiedatei"
sleep 1
[ "$(grep -c . "$TONFEX_ARBEIT/Tonfex.txt")" = 5 ] || fail "die neue Melodie hat nicht 5 Töne"
kill "$pid"
wait "$pid" || true

open_window
# MIDI mode with the test mode: without a sample catalogue it writes no tones, so the play
# reads the melody file the composer edited by hand: its second line has the pitch 200.
sed -i -e "s/^SOUND     3 /SOUND     1 /" -e "s/^TONFINDUNGSMETHODE 1 /TONFINDUNGSMETHODE 0.1 /" \
  "$TONFEX_ARBEIT/Tonfex.ini"
printf "60 100 5\r\n200 90 4\r\n64 80 6\r\n" >"$TONFEX_ARBEIT/Tonfex.txt"
cp "$TONFEX_ARBEIT/Tonfex.txt" "$TONFEX_ARBEIT/vorher.txt"

press_neu
wait_for_question
xdotool key Return # the default answer is "Nein": the program ends at once
status=0
timeout 30 tail --pid="$pid" -f /dev/null || fail "das Programm endet nach Nein nicht"
wait "$pid" || status=$?
[ "$status" = 1 ] || fail "Exit-Status nach Nein: $status statt 1"
cmp -s "$TONFEX_ARBEIT/Tonfex.txt" "$TONFEX_ARBEIT/vorher.txt" || fail "Melodiedatei verändert"

open_window
press_neu
wait_for_question
xdotool key alt+j # "Ja": the pitch is read as 127 and the play goes on
sleep 1
kill -0 "$pid" 2>/dev/null || fail "das Programm endet nach Ja"
xdotool search --onlyvisible --name "^FEHLER$" >/dev/null && fail "die Frage bleibt offen"
kill "$pid"
wait "$pid" || true
'

# The picture needs no display at all.
env -u DISPLAY -u WAYLAND_DISPLAY "$tonfex" bild "$work/rolle.png" 900 300 >"$work/bild.txt"
grep -q "3 Töne" "$work/bild.txt" || { echo "FEHLER: bild meldet: $(cat "$work/bild.txt")"; exit 1; }
[ "$(head -c 8 "$work/rolle.png" | od -An -tx1 | tr -d " \n")" = 89504e470d0a1a0a ] ||
  { echo "FEHLER: rolle.png ist kein PNG"; exit 1; }
echo "Fenster unter Xvfb und bild: in Ordnung"
