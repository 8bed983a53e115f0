// tonfex.exe: the window when started without a verb (a double-click), else one command of the
// window on the command line.
//
// The program is a console program, so that a command line waits for it, reads its output
// and its exit status, and can answer its questions. Started by a double-click, Windows gives
// it a console of its own; the window then lets that console go at once, so none stays open.
#include "cli/cli.h"
#include "gui-win32/win_text.h"
#include "gui-win32/win_window.h"
#include "platform/real.h"
#include "ui/session.h"

#include <windows.h>

#include <shellapi.h>

#include <iostream>

using namespace tonfex;

namespace {

// The arguments as UTF-8, also where they hold characters outside the ANSI code page.
std::vector<std::string> arguments() {
    std::vector<std::string> args;
    int count = 0;
    LPWSTR* wide = CommandLineToArgvW(GetCommandLineW(), &count);
    if (!wide) return args;
    for (int i = 1; i < count; ++i)
        args.push_back(fromWide(wide[i]));
    LocalFree(wide);
    return args;
}

// A console that only this program uses was made for it by a double-click.
void releaseOwnConsole() {
    DWORD processes[2];
    if (GetConsoleWindow() && GetConsoleProcessList(processes, 2) == 1) FreeConsole();
}

int runWindow(const CliOptions& options) {
    releaseOwnConsole();
    WinDialogs dialogs;
    WinClipboard clipboard;
    WinEvents events;
    ui::Session session(dialogs, clipboard, events, options.folder);
    if (!session.app()) return 1;
    // Millisecond sleeps inside the waits, so that the tones keep their time.
    timeBeginPeriod(1);
    int status = 0;
    {
        Win32Window window(*session.app(), events, dialogs, clipboard);
        window.show(SW_SHOWNORMAL);
        status = window.run();
    }
    timeEndPeriod(1);
    return status;
}

} // namespace

int main() {
    prepareConsole();
    std::vector<std::string> args = arguments();
    CliOptions options;
    if (parseArguments(args, options).empty() && !options.help && options.verb.empty())
        return runWindow(options);
    // A verb, the help or a wrong option: the command line answers.
    Terminal terminal{std::cout, std::cin, stdinIsTerminal(), stdoutIsTerminal()};
    watchInterrupts();
    int status = runCli(args, terminal);
    std::cout.flush();
    interruptHandled();
    return status;
}
