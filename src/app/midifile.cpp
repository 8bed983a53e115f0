// The "MID" button: the melody file played on a recorder in virtual time and written as a
// Standard MIDI File, without sounding and without waiting.
#include "app/app.h"

#include "midi/export.h"
#include "platform/virtual_clock.h"

namespace tonfex {

void App::MidiDatei_Click() {
    VirtualClock clock;
    NoEvents events;
    MidiRecorder recorder(clock);
    Platform offline{
        platform.dialogs, platform.clipboard, platform.programs, platform.windows, clock,
        events,           platform.random,    platform.files};
    // A second, invisible window state plays the file; this window stays as it is.
    App player(offline, folder, decimal, os);
    player.instrumentFile = instrumentFile;
    player.useMidiSystem(recorder);
    player.Form_Load();
    player.Startknopf_Click();
    auto played = fromOrigin(recorder.messages, player.playStartedAt.value_or(0.0));
    std::string error =
        platform.files.writeWhole(folder.path(names::midiFile), standardMidiFile(played));
    if (!error.empty())
        failCommand(platform.dialogs,
                    "Die MIDI-Datei " + folder.text(names::midiFile) + " " + error + ".");
    platform.dialogs.tell("MIDI-Datei", "Die Melodie wurde als " + folder.text(names::midiFile) +
                                            " geschrieben.");
}

} // namespace tonfex
