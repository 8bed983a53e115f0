// Command lines of the outside programs the window starts, and starting them.
#pragma once

#include "app/app.h"
#include "platform/platform.h"

#include <vector>

namespace tonfex {

using Environment = std::function<std::string(const std::string&)>;

// The editor on a file: NoteTab's command line on Windows; $TONFEX_EDITOR, else xdg-open,
// elsewhere.
CommandLine editorCommand(OsKind os, const std::string& fileText);
CommandLine editorCommand(OsKind os, const std::string& fileText, const Environment& env);
// REAPER on a project: its Windows command line writes the path with "\\" after the drive;
// elsewhere $TONFEX_REAPER, else reaper.
CommandLine reaperCommand(OsKind os, const std::string& fileText, const Environment& env);
// Capella on a score. Elsewhere $TONFEX_CAPELLA, else MuseScore (which imports Capella
// files) under the names it is installed as: the commands to try, in order.
std::vector<CommandLine> capellaCommands(OsKind os, const std::string& fileText,
                                         const Environment& env);
// The image viewer: IrfanView on Windows; $TONFEX_BILDBETRACHTER, else xdg-open, elsewhere.
CommandLine viewerCommand(OsKind os, const std::string& fileText, const Environment& env);
// The sound player for a rendered WAV file: $TONFEX_PLAYER, else xdg-open (the render exists
// on Linux only).
CommandLine playerCommand(const std::string& fileText, const Environment& env);

// The title of the viewer window that Infos closes before it opens the overview picture.
inline constexpr const char* kViewerWindowTitle = "Fm-Test-10-2.bmp - IrfanView";

// Starts `command`; a program that cannot be started gets a German message naming it.
void startProgram(App& app, const CommandLine& command, bool minimized);
// Starts the first of `commands` that can be started; the message names all of them.
void startFirst(App& app, const std::vector<CommandLine>& commands, bool minimized);

} // namespace tonfex
