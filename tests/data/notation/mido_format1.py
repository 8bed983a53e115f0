"""Writes a format 1 MIDI file with mido: a conductor track (tempo, metre, name), then a track
with one voice on channel 3 (a rest, a chord, a release by velocity 0), then a second voice."""
import sys

import mido

f = mido.MidiFile(type=1, ticks_per_beat=480)
f.tracks.append(mido.MidiTrack([
    mido.MetaMessage("set_tempo", tempo=600000, time=0),
    mido.MetaMessage("time_signature", numerator=3, denominator=4, time=0),
    mido.MetaMessage("track_name", name="Dirigent", time=0)]))
f.tracks.append(mido.MidiTrack([
    mido.Message("program_change", channel=2, program=11, time=0),
    mido.Message("note_on", channel=2, note=72, velocity=90, time=0),
    mido.Message("note_off", channel=2, note=72, velocity=0, time=480),
    mido.Message("note_on", channel=2, note=74, velocity=70, time=240),
    mido.Message("note_on", channel=2, note=77, velocity=80, time=0),
    mido.Message("note_off", channel=2, note=74, time=480),
    mido.Message("note_off", channel=2, note=77, time=0),
    mido.Message("control_change", channel=2, control=7, value=100, time=0),
    mido.Message("note_on", channel=2, note=76, velocity=64, time=0),
    mido.Message("note_on", channel=2, note=76, velocity=0, time=960)]))
f.tracks.append(mido.MidiTrack([
    mido.Message("note_on", channel=0, note=48, velocity=100, time=0),
    mido.Message("note_off", channel=0, note=48, time=1920)]))
f.save(sys.argv[1])
