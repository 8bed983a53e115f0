#include "ui/session.h"

#include "app/defaults.h"

namespace tonfex::ui {

Session::Session(Dialogs& dialogs, Clipboard& clipboard, Events& events, const std::string& folder)
    : platform_{dialogs, clipboard, programs_, windows_, clock_, events, random_, files_} {
    const WorkFolder work = workFolderNamed(folder);
    if (std::string error = ensureWorkFolder(files_, work); !error.empty()) {
        dialogs.tell("FEHLER", error);
        return;
    }
    app_.emplace(platform_, work, systemDecimalSeparator());
    // The system's MIDI output: on Linux the built-in synthesizer as device -1 and the
    // sequencer's ports, on Windows winmm with the MIDI mapper as device -1.
    midi_ = makeSystemMidi();
    app_->useMidiSystem(*midi_);
}

} // namespace tonfex::ui
