// The live controls beside the player: pitch bend by scroll bar and bend area, the instrument
// list and the device list. They act on the open device at once, also during a play.
#pragma once

#include "controls/models.h"
#include "midi/player.h"
#include "platform/platform.h"

#include <filesystem>

namespace tonfex {

inline constexpr int kBendMin = 3500;
inline constexpr int kBendMax = 12883;
inline constexpr int kBendNeutral = 8200;

// Start values: the scroll bar's range and neutral position, the bend area's scale (the same
// range), the reference tone 70 and 51 thousand bend units per octave of the display.
void startLiveControls(MidiPlayback& m, ScrollBar& VScroll1, BendArea& Bender);

// The scroll bar's value as pitch bend, with the frequency of the reference tone; nothing
// before the first Play.
void VScroll1_Change(MidiPlayback& m, const ScrollBar& VScroll1, bool playStarted, TextBox& txtNot,
                     char decimal);
// Moves the marker to `y` (in the area's scale), sends it as pitch bend and shows the frequency.
void Bender_MouseMove(MidiPlayback& m, BendArea& Bender, float y, TextBox& txtNot, char decimal);
// Program change to the clicked line's index; lines beyond the 128 MIDI programs send nothing.
void lst_sound_list_Click(MidiPlayback& m, int index);
// Reopens the output on the clicked device and empties Label1.
void List1_Click(MidiPlayback& m, const ListBox& List1, int index, Label& Label1);

} // namespace tonfex
