// The "MID" button: the melody file played on a recorder in virtual time and written as a
// Standard MIDI File, without sounding and without waiting.
#include "app/app.h"

#include "core/numbers.h"
#include "melody/melody.h"
#include "midi/export.h"
#include "platform/virtual_clock.h"

namespace tonfex {

std::string App::midiFilesRefusal() const {
    const double sound = s.sound();
    if (sound == 1) return "";
    const std::string mode = "Bei SOUND " + plainText(sound, decimal);
    const char* files = " MIDI-Datei, MIDI-Protokoll und WAV-Datei der Melodie gibt es nur bei "
                        "SOUND 1 (MIDI-Modus).";
    if (sound == 2 || sound == 3 || sound == 4)
        return mode + " sind die Tonnummern der Melodie Samples, keine MIDI-Noten:" + files;
    return mode + " wird die Melodie nicht über MIDI gespielt:" + files;
}

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
    // In the sample modes a play writes the REAPER project and sets the clipboard: not here.
    if (std::string why = player.midiFilesRefusal(); !why.empty())
        failCommand(platform.dialogs, why);
    player.Startknopf_Click();
    const auto first = firstToneTime(recorder.messages);
    if (!first)
        failCommand(platform.dialogs, "Die Melodie hat keinen Ton; " +
                                          folder.text(names::midiFile) +
                                          " wurde nicht geschrieben.");
    // The file starts with the first tone, not with the pause the window shows before it.
    auto bytes = standardMidiFile(fromOrigin(recorder.messages, *first));
    if (!bytes)
        failCommand(platform.dialogs, "Die Melodie passt nicht in eine MIDI-Datei (zwischen zwei "
                                      "Ereignissen liegen mehr als 74 Stunden); " +
                                          folder.text(names::midiFile) +
                                          " wurde nicht geschrieben.");
    std::string error = platform.files.writeWhole(folder.path(names::midiFile), *bytes);
    if (!error.empty())
        failCommand(platform.dialogs,
                    "Die MIDI-Datei " + folder.text(names::midiFile) + " " + error + ".");
    platform.dialogs.tell("MIDI-Datei", "Die Melodie wurde als " + folder.text(names::midiFile) +
                                            " geschrieben.");
}

} // namespace tonfex
