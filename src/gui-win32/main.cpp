// tonfex.exe: the window when started without a verb (a double-click), else one command of the
// window on the command line.
//
// The program is a console program, so that a command line waits for it, reads its output
// and its exit status, and can answer its questions. Started by a double-click, Windows gives
// it a console of its own; the window then lets that console go at once, so none stays open.
#include "cli/cli.h"
#include "gui-win32/win_window.h"
#include "platform/real.h"
#include "ui/session.h"

#include <iostream>

using namespace tonfex;

namespace {

int runWindow(const CliOptions& options) {
    releaseOwnConsole();
    WinDialogs dialogs;
    WinClipboard clipboard;
    WinEvents events;
    ui::Session session(dialogs, clipboard, events, options.folder);
    if (!session.app()) return 1;
    // Millisecond sleeps inside the waits, so that the tones keep their time.
    timeBeginPeriod(1);
    int status = runWin32Window(*session.app(), events, dialogs, clipboard, SW_SHOWNORMAL);
    timeEndPeriod(1);
    return status;
}

} // namespace

int main() {
    prepareConsole();
    Terminal terminal{std::cout, std::cin, stdinIsTerminal(), stdoutIsTerminal()};
    int status = runProgram(commandLineArguments(), terminal, runWindow);
    std::cout.flush();
    interruptHandled();
    return status;
}
