#include "app/launchers.h"

#include "app/defaults.h"
#include "core/errors.h"

#include <cstdlib>

namespace tonfex {

namespace {

CommandLine withFile(const std::string& program, const std::string& separator,
                     const std::string& fileText) {
    return CommandLine{program + separator + fileText, program, {fileText}};
}

std::string envOr(const Environment& env, const char* name, const char* fallback) {
    std::string value = env(name);
    return value.empty() ? fallback : value;
}

// "C:\Arbeit\..." becomes "C:\\Arbeit\..." as REAPER's command line has always had it.
std::string doubledAfterDrive(const std::string& path) {
    if (path.size() >= 3 && path[1] == ':' && path[2] == '\\')
        return path.substr(0, 3) + path.substr(2);
    return path;
}

} // namespace

std::string App::readEnvironment(const std::string& name) {
    const char* v = std::getenv(name.c_str());
    return v ? v : "";
}

CommandLine editorCommand(OsKind os, const std::string& fileText) {
    return editorCommand(os, fileText, App::readEnvironment);
}

CommandLine editorCommand(OsKind os, const std::string& fileText, const Environment& env) {
    if (os == OsKind::Windows) {
        CommandLine cmd = withFile("C:\\Arbeit\\Editor-K\\NoteTab.exe", "  ", fileText);
        return cmd;
    }
    return withFile(envOr(env, "TONFEX_EDITOR", "xdg-open"), " ", fileText);
}

CommandLine reaperCommand(OsKind os, const std::string& fileText, const Environment& env) {
    if (os == OsKind::Windows)
        return withFile("C:\\Programme\\REAPER\\reaper.exe", "  ", doubledAfterDrive(fileText));
    return withFile(envOr(env, "TONFEX_REAPER", "reaper"), " ", fileText);
}

std::vector<CommandLine> capellaCommands(OsKind os, const std::string& fileText,
                                         const Environment& env) {
    if (os == OsKind::Windows)
        return {withFile("C:\\Programme\\capella2008\\capella.exe", " ", fileText)};
    if (std::string program = env("TONFEX_CAPELLA"); !program.empty())
        return {withFile(program, " ", fileText)};
    return {withFile("mscore3", " ", fileText), withFile("musescore3", " ", fileText),
            withFile("musescore", " ", fileText)};
}

CommandLine viewerCommand(OsKind os, const std::string& fileText, const Environment& env) {
    if (os == OsKind::Windows)
        return withFile("C:\\Arbeit\\IrfanView\\i_view32.exe", " ", fileText);
    return withFile(envOr(env, "TONFEX_BILDBETRACHTER", "xdg-open"), " ", fileText);
}

CommandLine playerCommand(const std::string& fileText, const Environment& env) {
    return withFile(envOr(env, "TONFEX_PLAYER", "xdg-open"), " ", fileText);
}

void startProgram(App& app, const CommandLine& command, bool minimized) {
    if (!app.platform.programs.start(command, minimized))
        app.platform.dialogs.tell("FEHLER", "Das Programm " + command.program +
                                                " konnte nicht gestartet werden.");
}

void startFirst(App& app, const std::vector<CommandLine>& commands, bool minimized) {
    std::string tried;
    for (const auto& command : commands) {
        if (app.platform.programs.start(command, minimized)) return;
        tried += (tried.empty() ? "" : ", ") + command.program;
    }
    app.platform.dialogs.tell("FEHLER",
                              commands.size() > 1
                                  ? "Keines der Programme " + tried + " konnte gestartet werden."
                                  : "Das Programm " + tried + " konnte nicht gestartet werden.");
}

// The editor opens minimised with the focus; REAPER too; the notation program in front.
void App::openInEditor(const std::string& fileText) {
    startProgram(*this, editorCommand(os, fileText, environment), true);
}
void App::openInReaper(const std::string& fileText) {
    startProgram(*this, reaperCommand(os, fileText, environment), true);
}
void App::openInNotation(const std::string& fileText) {
    startFirst(*this, capellaCommands(os, fileText, environment), false);
}

void App::FensterSchliessen(const std::string& text) {
    platform.windows.closeContaining(text);
}

void App::Infos_Click() {
    FensterSchliessen(kViewerWindowTitle);
    startProgram(*this,
                 viewerCommand(os, utf8FromPath(overviewPicturePath(folder, os)), environment),
                 false);
}

void App::Command1_Click() {
    c.Command1.enabled = false;
    // The power button comes back even when the generation ends early.
    struct Enable {
        Button& button;
        ~Enable() { button.enabled = true; }
    } enable{c.Command1};
    Dateiherstellung_Click();
    if (s.sampleMode()) openInReaper(folder.text(names::project));
}

void App::Text1_KeyDown(int keyCode) {
    if (keyCode == 46) c.printed.push_back("Mausekuchen");
}

void App::Ende_Click() {
    Form_Unload();
    throw ProgramEnd();
}

} // namespace tonfex
