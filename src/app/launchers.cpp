#include "app/launchers.h"

#include <cstdlib>

namespace tonfex {

namespace {
std::string envOr(const char* name, const char* fallback) {
    const char* v = std::getenv(name);
    return v && *v ? v : fallback;
}
} // namespace

CommandLine editorCommand(OsKind os, const std::string& fileText) {
    CommandLine cmd;
    if (os == OsKind::Windows) {
        cmd.line = "C:\\Arbeit\\Editor-K\\NoteTab.exe  " + fileText;
        cmd.program = "C:\\Arbeit\\Editor-K\\NoteTab.exe";
    } else {
        cmd.program = envOr("TONFEX_EDITOR", "xdg-open");
        cmd.line = cmd.program + " " + fileText;
    }
    cmd.args = {fileText};
    return cmd;
}

void startProgram(App& app, const CommandLine& command, bool minimized) {
    if (!app.platform.programs.start(command, minimized))
        app.platform.dialogs.tell("FEHLER", "Das Programm " + command.program +
                                                " konnte nicht gestartet werden.");
}

} // namespace tonfex
