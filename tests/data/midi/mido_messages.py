"""Prints every message of a format 0 MIDI file that is not a meta message: its time in
milliseconds with three decimals, then its bytes in hex (as the play's protocol does)."""
import sys

import mido

f = mido.MidiFile(sys.argv[1])
assert f.type == 0
t = 0.0
for m in f:
    t += m.time
    if not m.is_meta:
        print('%.3f %s' % (t * 1000, m.hex()))
