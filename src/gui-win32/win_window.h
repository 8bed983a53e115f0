// The main window `main` and the chooser `Linien` as native Win32 windows: they draw what the
// window driver reports and hand every click and key to it.
#pragma once

#include "app/app.h"
#include "platform/win_services.h"
#include "ui/events.h"

namespace tonfex {

// Lets the window breathe inside a command's waits: the models are drawn, then the pending
// Windows messages are dispatched (Stop, the live controls). An end asked for meanwhile (the
// window closed, a nested command ended the program) unwinds the command with ProgramEnd.
class WinEvents : public ui::WindowEvents {
protected:
    void handlePending() override;
};

// Shows the windows with `showCommand` (Form_Load runs as soon as they are on the screen) and
// runs their message loop until the program ends; returns its exit status.
int runWin32Window(App& app, WinEvents& events, WinDialogs& dialogs, WinClipboard& clipboard,
                   int showCommand);

} // namespace tonfex
