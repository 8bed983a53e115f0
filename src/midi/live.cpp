#include "midi/live.h"

#include "core/numbers.h"
#include "core/textfile.h"

namespace tonfex {

void startLiveControls(MidiPlayback& m, ScrollBar& VScroll1, BendArea& Bender) {
    m.Bezugston = 70;
    m.BendOktave = 51;
    m.displayFactor = 100;
    VScroll1.min = kBendMin;
    VScroll1.max = kBendMax;
    VScroll1.value = kBendNeutral;
    Bender.scaleMin = kBendMin;
    Bender.scaleMax = kBendMax;
}

void VScroll1_Change(MidiPlayback& m, const ScrollBar& VScroll1, bool playStarted, TextBox& txtNot,
                     char decimal) {
    if (!playStarted) return;
    int v = VScroll1.value;
    MidiPitchBend(m.out, 0, v);
    m.BendOffset = intFloor(v / 1000.0 * 100 + 0.5) / 100 - 8.2;
    showFrequency(m, txtNot, Frequenz(m, m.Bezugston), decimal);
}

void Bender_MouseMove(MidiPlayback& m, BendArea& Bender, float y, TextBox& txtNot, char decimal) {
    Bender.markerY = y;
    m.previousBendY = y;
    MidiPitchBend(m.out, 0, toInt32(y));
    m.BendOffset = intFloor(y / 1000.0 * 10 + 0.5) / 10 - 8.2;
    showFrequency(m, txtNot, Frequenz(m, m.Bezugston), decimal);
}

void lst_sound_list_Click(MidiPlayback& m, int index) {
    if (index < 0 || index > 127) return;
    MidiProgramChange(m.out, 0, 0, static_cast<std::int16_t>(index));
}

void List1_Click(MidiPlayback& m, const ListBox& List1, int index, Label& Label1) {
    if (index < 0 || index >= List1.count()) return;
    m.out.MidiClose();
    m.out.MidiOpen(static_cast<std::int16_t>(List1.itemData()[static_cast<size_t>(index)]));
    Label1.caption.clear();
}

} // namespace tonfex
