// Command lines of the outside programs the window starts.
#pragma once

#include "app/app.h"
#include "platform/platform.h"

namespace tonfex {

// The editor on a file: NoteTab's command line on Windows; $TONFEX_EDITOR, else xdg-open,
// elsewhere.
CommandLine editorCommand(OsKind os, const std::string& fileText);

// Starts `command`; a program that cannot be started gets a German message naming it.
void startProgram(App& app, const CommandLine& command, bool minimized);

} // namespace tonfex
