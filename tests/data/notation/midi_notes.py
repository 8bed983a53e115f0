"""Prints the ticks per quarter note of a MIDI file, then one line per note: onset, pitch and
length in ticks, in the order the notes start."""
import sys

import mido

midi = mido.MidiFile(sys.argv[1])
print(midi.ticks_per_beat)
notes = []
for track in midi.tracks:
    now, sounding = 0, {}
    for msg in track:
        now += msg.time
        if msg.type == "note_on" and msg.velocity > 0:
            sounding[msg.note] = now
        elif msg.type in ("note_on", "note_off") and msg.note in sounding:
            start = sounding.pop(msg.note)
            notes.append((start, msg.note, now - start))
for start, pitch, length in sorted(notes):
    print(start, pitch, length)
