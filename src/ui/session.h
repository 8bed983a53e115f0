// What a window front end opens before its window: the system's platform around the window's
// own dialogs, clipboard and events, the working folder, the MIDI output and the App.
#pragma once

#include "app/app.h"
#include "platform/midi.h"
#include "platform/real.h"

#include <memory>
#include <optional>
#include <string>

namespace tonfex::ui {

class Session {
public:
    // A working folder that cannot be made is told through `dialogs`; then there is no App.
    Session(Dialogs& dialogs, Clipboard& clipboard, Events& events, const std::string& folder);
    App* app() { return app_ ? &*app_ : nullptr; }

private:
    SystemProgramStarter programs_;
    SystemWindowCloser windows_;
    SystemClock clock_;
    ClockRandom random_;
    DiskFiles files_;
    Platform platform_;
    std::unique_ptr<MidiSystem> midi_;
    std::optional<App> app_;
};

} // namespace tonfex::ui
