// The live controls' events: pitch bend, instrument and device, also during a play.
#include "app/app.h"

#include "core/textfile.h"
#include "midi/live.h"

namespace tonfex {

void App::Instrumentenliste() {
    // One name for each of the 128 MIDI programs; further lines have no program to choose.
    auto names = readFirstLines(platform.files, instrumentFile, 128, 256);
    if (!names) return;
    for (auto& name : names->lines)
        c.lst_sound_list.add(name);
}

void App::VScroll1_Change() {
    ::tonfex::VScroll1_Change(midi, c.VScroll1, PlayStarted, c.txtNot, decimal);
}

void App::neutral_Click() {
    // Setting the value raises the change only when it differs, as a user's move does.
    if (c.VScroll1.value == kBendNeutral) return;
    c.VScroll1.value = kBendNeutral;
    VScroll1_Change();
}

void App::Bender_MouseMove(float y) {
    ::tonfex::Bender_MouseMove(midi, c.Bender, y, c.txtNot, decimal);
}

void App::lst_sound_list_Click(int index) {
    ::tonfex::lst_sound_list_Click(midi, index);
}

void App::List1_Click(int index) {
    ::tonfex::List1_Click(midi, c.List1, index, c.Label1);
}

} // namespace tonfex
