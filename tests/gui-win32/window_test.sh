#!/usr/bin/env bash
# The Win32 window of tonfex.exe under Wine, driven from outside by remote.exe like a composer's
# mouse: "INI" shows the summary the command line prints, a click on a summary line puts its
# link on the clipboard and starts the editor minimised, "Neu" writes and plays a short melody
# in C:\Arbeit\, the bend area and the scroll bar show their frequencies, "Stopp" ends a long
# play at once, "Store" and "Load" go through the chooser window "Auswahl", and the read-error
# question offers "Ja", "Ja, alle" and "Nein" with "Nein" preselected, which ends the program.
# Where the controls lie is the window driver's plan, checked in tests/ui.
#   window_test.sh TONFEX.EXE REMOTE.EXE   (on an X display, WINEPREFIX set and booted)
set -euo pipefail
tonfex="$1"
remote="$2"
arbeit="$WINEPREFIX/drive_c/Arbeit"
title="Tonfex 1.31 vom 29.08.2014"
log="$WINEPREFIX/fenster.log"

fail() {
  echo "FEHLER: $*" >&2
  [ -s "$log" ] && sed 's/^/  tonfex.exe: /' "$log" >&2
  exit 1
}
r() { wine "$remote" "$@"; }
lines() { r list "$1" | tr -d '\r'; }
setting() { sed -i -E "s/^($1 +)[^ ]+/\\1$2/" "$arbeit/Tonfex.ini"; }
open_window() {
  wine "$tonfex" >"$log" 2>&1 &
  pid=$!
  r wait-window "$title" 60 || fail "das Fenster erscheint nicht"
}

# A new working folder C:\Arbeit\ with its defaults, set for a short melody in MIDI mode; the
# editor is a stand-in that notes how it was started.
wine "$tonfex" ini --ja >/dev/null
setting SOUND 1
setting TONFINDUNGSMETHODE 1
setting ANZAHL 5
setting VERZOGERUNG 0
setting TIEFTON 60
setting HOCHTON 72
setting STARTTON 60
setting INTERVALL 3
rm -f "$arbeit/Tonfex.txt"
mkdir -p "$arbeit/Editor-K"
cp "$remote" "$arbeit/Editor-K/NoteTab.exe"

open_window
[ "$(r visible Stopp | tr -d '\r')/$(r visible Reaper | tr -d '\r')" = sichtbar/unsichtbar ] ||
  fail "SOUND 1 zeigt nicht Stopp ohne Reaper"

# "INI": the list box shows the lines the command line prints for the same settings.
r click INI
sleep 1
lines inidat >"$WINEPREFIX/fenster-ini.txt"
wine "$tonfex" ini | tr -d '\r' >"$WINEPREFIX/cli-ini.txt"
[ "$(wc -l <"$WINEPREFIX/fenster-ini.txt")" -gt 10 ] || fail "inidat zeigt keine Übersicht"
diff "$WINEPREFIX/cli-ini.txt" "$WINEPREFIX/fenster-ini.txt" >&2 ||
  fail "inidat zeigt andere Zeilen als 'tonfex ini'"
grep -q "Tondauern indirekt (Tdd)" "$WINEPREFIX/fenster-ini.txt" || fail "Übersicht unvollständig"

# A click on a summary line: its link goes to the clipboard, the editor opens the settings.
row=$(grep -n "(Tdd)" "$WINEPREFIX/fenster-ini.txt" | head -1 | cut -d: -f1)
r select inidat $((row - 1))
timeout 20 bash -c "until [ -s '$arbeit/Editor-K/Aufruf.txt' ]; do sleep 0.2; done" ||
  fail "der Editor wird nicht gestartet"
[ "$(r clipboard | tr -d '\r')" = "Tdd" ] || fail "Zwischenablage: $(r clipboard)"
# The stand-in's record: its command line, then the window state (2: minimised).
[ "$(tr '\n' '|' <"$arbeit/Editor-K/Aufruf.txt")" = \
  'C:\Arbeit\Editor-K\NoteTab.exe  C:\Arbeit\Tonfex.ini|2|' ] ||
  fail "Editoraufruf: $(cat "$arbeit/Editor-K/Aufruf.txt")"

# "Neu": five tones between 60 and 72 in C:\Arbeit\Tonfex.txt, played to the end.
r click Neu
timeout 30 bash -c "until [ -s '$arbeit/Tonfex.txt' ]; do sleep 0.2; done" ||
  fail "Neu schreibt keine Melodiedatei"
r wait-enabled Play 30 || fail "das Abspielen endet nicht"
tr -d '\r' <"$arbeit/Tonfex.txt" | awk 'NF { n++; if ($1 < 60 || $1 > 72) bad = 1 }
  END { exit !(n == 5 && !bad) }' || fail "Melodiedatei: $(cat "$arbeit/Tonfex.txt")"
[ "$(lines Daten | head -1)" = "Anzahl der Schleifendurchläufe" ] ||
  fail "Daten zeigt nach dem Abspielen keine Zusammenfassung"

# The live controls after a play: the bend area at its top bends by 4.7 thousand units, the
# scroll bar one line up stands at 8201, which shows the reference tone unbent.
r move Bender 5 0
r wait-text "496.91 Hz" 5 || fail "der Bend zeigt nicht 496.91 Hz"
r scroll VScroll1 hoch
r wait-text "466.16 Hz" 5 || fail "der Rollbalken zeigt nicht 466.16 Hz"

# "Stopp" during a play of 20 tones of 0.6 seconds: the play ends within a tone.
setting ANZAHL 20
setting TEMPO 0.05
r click Neu
r wait-line Daten "  150" 30 || fail "das Abspielen beginnt nicht"
sleep 0.5
r click Stopp
r wait-enabled Play 4 || fail "Stopp beendet das Abspielen nicht"
lines Daten >"$WINEPREFIX/daten.txt"
played=$(grep -cE '^[0-9]+  [0-9]+  [0-9]+  [0-9]+$' "$WINEPREFIX/daten.txt" || true)
[ "$played" -lt 20 ] || fail "alle 20 Töne gespielt trotz Stopp"
[ "$(head -1 "$WINEPREFIX/daten.txt")" != "Anzahl der Schleifendurchläufe" ] ||
  fail "nach Stopp steht die Zusammenfassung in Daten"

# "Store" asks first ("Nein" preselected), then keeps dated copies; "Load" opens the chooser
# "Auswahl", and a click on its line brings the stored settings back.
r click Store
r answer "Frage zur Sicherheit" "&Ja" 20 | tr -d '\r' >"$WINEPREFIX/frage-store.txt" ||
  fail "keine Sicherheitsfrage bei Store"
grep -qx 'Knopf: &Nein (vorgewählt)' "$WINEPREFIX/frage-store.txt" ||
  fail "Sicherheitsfrage: $(cat "$WINEPREFIX/frage-store.txt")"
# Files a fresh folder does not have yet (the scores) are named in a message; until it is
# answered the window takes no other command.
r answer Preset OK 10 | tr -d '\r' >"$WINEPREFIX/preset.txt" ||
  fail "keine Meldung zu den noch fehlenden Dateien beim ersten Store"
setting ANZAHL 7
r click Load
r wait-window Auswahl 10 TonfexLinien || fail "die Auswahl erscheint nicht"
[ "$(lines Lini | wc -l)" = 1 ] || fail "die Auswahl zeigt: $(lines Lini)"
r select Lini 0
r wait-line inidat "wurden verändert." 10 || fail "kein Hinweis auf das geladene Preset"
r answer Tonfex OK 10 >/dev/null || fail "keine Meldung zum geladenen Preset"
grep -aq "^ANZAHL    20 " "$arbeit/Tonfex.ini" || fail "das Preset stellt ANZAHL 20 nicht her"
r wait-line inidat "20 Töne (Anz)" 10 || fail "die Übersicht zeigt das Preset nicht"
[ "$(r visible TonfexLinien | tr -d '\r')" = unsichtbar ] || fail "die Auswahl bleibt offen"

# Two wrong pitches in a hand-edited melody: "Ja, alle" answers the second question too, so
# the play runs to its end without another box.
printf '200 100 1\r\n300 90 1\r\n' >"$arbeit/Tonfex.txt"
r click Play
r answer FEHLER "Ja, &alle" 20 >/dev/null || fail "keine Frage mit Ja, alle zur Melodiezeile"
r wait-enabled Play 30 || fail "nach Ja, alle endet das Abspielen nicht"

# A hand-edited melody with the pitch 200: the question, "Nein" preselected, ends the program.
printf '60 100 5\r\n200 90 4\r\n64 80 6\r\n' >"$arbeit/Tonfex.txt"
cp "$arbeit/Tonfex.txt" "$WINEPREFIX/vorher.txt"
r click Play
r answer FEHLER "&Nein" 20 >"$WINEPREFIX/frage.txt" || fail "keine Frage zur Melodiezeile"
tr -d '\r' <"$WINEPREFIX/frage.txt" >"$WINEPREFIX/frage-lf.txt"
printf 'Knopf: &Ja\nKnopf: Ja, &alle\nKnopf: &Nein (vorgewählt)\n' |
  diff - "$WINEPREFIX/frage-lf.txt" >&2 ||
  fail "die Frage hat nicht Ja, Ja, alle und vorgewähltes Nein"
status=0
timeout 20 tail --pid="$pid" -f /dev/null || fail "das Programm endet nach Nein nicht"
wait "$pid" || status=$?
[ "$status" = 1 ] || fail "Exit-Status nach Nein: $status statt 1"
cmp -s "$arbeit/Tonfex.txt" "$WINEPREFIX/vorher.txt" || fail "Melodiedatei verändert"
